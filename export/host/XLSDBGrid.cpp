#include "XLSDBGrid.h"

namespace tabulon {
namespace {

bool AlignsRight(TFieldType type) {
  return IsNumericFieldType(type) || type == ftDate || type == ftTime || type == ftDateTime;
}

}  // namespace

void TDataSource::SetDataSet(TDataSet* data_set) {
  XLSRelink(*this, dataSet_, data_set);
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == dataSet_) dataSet_ = nullptr;
}

TField* TColumn::GetField() const {
  const TDataSource* source = grid_.GetDataSource();
  const TDataSet* dataSet = source ? source->GetDataSet() : nullptr;
  return dataSet && !FieldName.empty() ? dataSet->FindField(FieldName) : nullptr;
}

void TDBGrid::SetDataSource(TDataSource* source) {
  XLSRelink(*this, dataSource_, source);
}

TColumn& TDBGrid::AddColumn(const std::string& field_name) {
  columns_.push_back(std::make_unique<TColumn>(*this));
  TColumn& column = *columns_.back();
  column.FieldName = field_name;
  column.Font = Font;
  column.Title.Caption = field_name;
  column.Title.Font = TitleFont;
  const TField* field = column.GetField();
  if (field && AlignsRight(field->GetDataType())) column.Alignment = taRightJustify;
  return column;
}

void TDBGrid::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == dataSource_) dataSource_ = nullptr;
}

}  // namespace tabulon
