// The host framework the export components live in: components with
// owner-based lifetime and removal notification, and the registry that
// records component classes under a palette page for design tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon {

/// What TComponent::Notification reports about the other component.
enum TOperation : uint8_t {
  opInsert = 0,  ///< It was added to the owner's components.
  opRemove = 1,  ///< It is about to be removed or destroyed.
};

/// A component is destroyed by its owner (when it has one) or by whoever
/// created it. Components that link to another one ask for FreeNotification,
/// so that they are told, through Notification(other, opRemove), before the
/// linked component goes away and never keep a dangling link.
class TComponent {
 public:
  /// The owner, when given, takes the component over and destroys it.
  explicit TComponent(TComponent* owner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  /// Tells every component that asked for it, and the owner's components, that
  /// this one is being removed; then destroys the components it owns.
  virtual ~TComponent();

  /// @return The owner, or null.
  TComponent* GetOwner() const { return owner_; }
  /// @return How many components this one owns.
  int32_t GetComponentCount() const { return static_cast<int32_t>(components_.size()); }
  /// @param index 0 to GetComponentCount() - 1.
  /// @return The owned component; throws std::out_of_range outside that range.
  TComponent* GetComponent(int32_t index) const { return components_.at(index); }
  /// @return The component name.
  const std::string& GetName() const { return name_; }
  /// @param name The component name.
  void SetName(const std::string& name) { name_ = name; }

  /// component will be told when this one is destroyed, and the other way round.
  void FreeNotification(TComponent* component);
  /// Undoes FreeNotification.
  /// @param component The component no longer linked.
  void RemoveFreeNotification(TComponent* component);

 protected:
  /// Called when a component this one knows about is inserted or removed.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void Notify(TComponent* component, TOperation operation);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

/// Moves self's link from one component to another, keeping free
/// notification only on the component linked now.
template <class T>
void XLSRelink(TComponent& self, T*& link, T* target) {
  if (link) self.RemoveFreeNotification(link);
  link = target;
  if (link) self.FreeNotification(link);
}

/// What a design tool needs to offer a component class on its palette.
struct TComponentClass {
  /// The class name shown on the palette.
  std::string ClassName;
  /// Creates a component of the class with an owner.
  TComponent* (*Create)(TComponent* owner);
};

/// Component classes by palette page, in registration order. Registering a
/// class name again replaces its entry.
class TComponentRegistry {
 public:
  /// @return The registry of the process.
  static TComponentRegistry& Get();

  /// Puts classes on a palette page.
  /// @param page Page name, such as "Tabulon".
  /// @param classes The classes, in palette order.
  void RegisterComponents(const std::string& page, const std::vector<TComponentClass>& classes);
  /// Class names on a page, in registration order.
  std::vector<std::string> GetPageClasses(const std::string& page) const;
  /// The page of a class, or empty when it is not registered.
  std::string GetClassPage(const std::string& class_name) const;
  /// A new component of the named class, or null when it is not registered.
  TComponent* CreateComponent(const std::string& class_name, TComponent* owner) const;

 private:
  struct TEntry {
    std::string Page;
    TComponentClass Class;
  };
  const TEntry* Find(const std::string& class_name) const;

  std::vector<TEntry> entries_;
};

/// Registers every component of the library on the palette page "Tabulon".
void Register();

}  // namespace tabulon
