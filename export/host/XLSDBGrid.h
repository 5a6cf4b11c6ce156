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

/// Horizontal alignment of a grid column, carried over to its exported cells.
enum TAlignment : uint8_t {
  taLeftJustify = 0,   ///< Left-aligned.
  taRightJustify = 1,  ///< Right-aligned.
  taCenter = 2,        ///< Centred.
};

/// Links a data set to the views that show it; forgets it when it is destroyed.
class TDataSource : public TComponent {
 public:
  /// @param owner The owning component, or null.
  explicit TDataSource(TComponent* owner) : TComponent(owner) {}

  /// @return The data set linked, or null.
  TDataSet* GetDataSet() const { return dataSet_; }
  /// @param data_set The data set to link, or null.
  void SetDataSet(TDataSet* data_set);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSet* dataSet_ = nullptr;
};

class TDBGrid;

/// The title of a grid column.
struct TColumnTitle {
  /// Title text; the field name by default.
  std::string Caption;
  /// Font of the title.
  TFont Font;
  /// Fill of the title.
  TColor Color = clBtnFace;
  /// Alignment of the title.
  TAlignment Alignment = taLeftJustify;
};

/// One column of a grid: the field it shows and how it looks.
class TColumn {
 public:
  /// @param grid The grid the column belongs to.
  explicit TColumn(const TDBGrid& grid) : grid_(grid) {}

  /// The field named FieldName in the grid's data set, or null.
  TField* GetField() const;

  /// Name of the field the column shows.
  std::string FieldName;
  /// Hidden columns are not exported.
  bool Visible = true;
  int32_t Width = 64;  ///< pixels
  /// Alignment of the column's cells.
  TAlignment Alignment = taLeftJustify;
  /// Font of the column's cells.
  TFont Font;
  /// Fill of the column's cells.
  TColor Color = clWindow;
  /// The column's title.
  TColumnTitle Title;

 private:
  const TDBGrid& grid_;
};

/// A grid view of a data set: columns over its fields, in order.
class TDBGrid : public TComponent {
 public:
  /// @param owner The owning component, or null.
  explicit TDBGrid(TComponent* owner) : TComponent(owner) {}

  /// @return The data source of the grid, or null.
  TDataSource* GetDataSource() const { return dataSource_; }
  /// @param source The data source to show, or null.
  void SetDataSource(TDataSource* source);

  /// A new column at the end showing the named field, with the grid's fonts,
  /// the field name as its title and, for numbers, dates and times, right
  /// alignment.
  TColumn& AddColumn(const std::string& field_name);
  /// @return The number of columns, visible or not.
  int32_t GetColumnCount() const { return static_cast<int32_t>(columns_.size()); }
  /// Throws std::out_of_range for an index outside 0 .. count - 1.
  TColumn& GetColumn(int32_t index) const { return *columns_.at(static_cast<size_t>(index)); }

  /// Font of the grid's cells; new columns copy it.
  TFont Font;
  /// Font of the grid's titles; new columns copy it.
  TFont TitleFont;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDataSource* dataSource_ = nullptr;
  std::vector<std::unique_ptr<TColumn>> columns_;
};

}  // namespace tabulon
