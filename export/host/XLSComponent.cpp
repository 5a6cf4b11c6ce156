#include "XLSComponent.h"

#include <algorithm>

namespace tabulon {
namespace {

void Erase(std::vector<TComponent*>& list, TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Each listener forgets this component and drops it from its own list.
  while (!freeNotifies_.empty()) {
    TComponent* listener = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(listener->freeNotifies_, this);
    listener->Notification(this, opRemove);
  }
  // Owned components are detached first, so they do not notify an owner that
  // is half destroyed.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    components_.pop_back();
    child->owner_ = nullptr;
    delete child;
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    component->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  Erase(freeNotifies_, component);
  Erase(component->freeNotifies_, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* component) {
  component->owner_ = this;
  components_.push_back(component);
  Notify(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
  Notify(component, opRemove);
}

// Tells this owner and its other components that component arrives or leaves.
void TComponent::Notify(TComponent* component, TOperation operation) {
  Notification(component, operation);
  for (TComponent* sibling : components_) {
    if (sibling != component) sibling->Notification(component, operation);
  }
}

TComponentRegistry& TComponentRegistry::Get() {
  static TComponentRegistry registry;
  return registry;
}

void TComponentRegistry::RegisterComponents(const std::string& page,
                                            const std::vector<TComponentClass>& classes) {
  for (const TComponentClass& cls : classes) {
    auto same = [&](const TEntry& entry) { return entry.Class.ClassName == cls.ClassName; };
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), same), entries_.end());
    entries_.push_back({page, cls});
  }
}

std::vector<std::string> TComponentRegistry::GetPageClasses(const std::string& page) const {
  std::vector<std::string> names;
  for (const TEntry& entry : entries_) {
    if (entry.Page == page) names.push_back(entry.Class.ClassName);
  }
  return names;
}

std::string TComponentRegistry::GetClassPage(const std::string& class_name) const {
  const TEntry* entry = Find(class_name);
  return entry ? entry->Page : std::string();
}

TComponent* TComponentRegistry::CreateComponent(const std::string& class_name,
                                                TComponent* owner) const {
  const TEntry* entry = Find(class_name);
  return entry ? entry->Class.Create(owner) : nullptr;
}

const TComponentRegistry::TEntry* TComponentRegistry::Find(const std::string& class_name) const {
  for (const TEntry& entry : entries_) {
    if (entry.Class.ClassName == class_name) return &entry;
  }
  return nullptr;
}

}  // namespace tabulon
