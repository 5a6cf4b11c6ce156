// The view side of the host as TDBGrid2Excel reads it: a data source that
// links a data set, and a data grid that shows the data set through a
// collection of columns, each with its own field, width, alignment, font and
// colour, and a title with a caption, font, colour and alignment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "XLSComponent.h"
#include "XLSDataSet.h"
#include "XLSHostFont.h"

namespace tabulon {

enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

/// Links a data set to the views that show it; forgets it when it is destroyed.
class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* owner) : TComponent(owner) {}

  TDataSet* GetDataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* data_set);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSet* dataSet_ = nullptr;
};

class TDBGrid;

struct TColumnTitle {
  std::string Caption;
  TFont Font;
  TColor Color = clBtnFace;
  TAlignment Alignment = taLeftJustify;
};

class TColumn {
 public:
  explicit TColumn(const TDBGrid& grid) : grid_(grid) {}

  /// The field named FieldName in the grid's data set, or null.
  TField* GetField() const;

  std::string FieldName;
  bool Visible = true;
  int32_t Width = 64;  ///< pixels
  TAlignment Alignment = taLeftJustify;
  TFont Font;
  TColor Color = clWindow;
  TColumnTitle Title;

 private:
  const TDBGrid& grid_;
};

class TDBGrid : public TComponent {
 public:
  explicit TDBGrid(TComponent* owner) : TComponent(owner) {}

  TDataSource* GetDataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);

  /// A new column at the end showing the named field, with the grid's fonts,
  /// the field name as its title and, for numbers, dates and times, right
  /// alignment.
  TColumn& AddColumn(const std::string& field_name);
  int32_t GetColumnCount() const { return static_cast<int32_t>(columns_.size()); }
  /// Throws std::out_of_range for an index outside 0 .. count - 1.
  TColumn& GetColumn(int32_t index) const { return *columns_.at(static_cast<size_t>(index)); }

  TFont Font;
  TFont TitleFont;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSource* dataSource_ = nullptr;
  std::vector<std::unique_ptr<TColumn>> columns_;
};

}  // namespace tabulon
