#pragma once
/// "公式参数设置": the parameters of one of the user's formulas as a K-line pane computes it,
/// opened by a double click on the pane's title. The formula's name at the top, one row per
/// parameter (name, value field, range), then "确  定", "恢复默认" and "取  消"; a formula
/// without parameters shows "没有参数需要设置!". 确定 refuses a value that is no number or
/// lies outside its range with the message in a box "提示" and the focus (all of it selected)
/// in that field. From the keyboard: the first value has the focus, Tab runs through the
/// fields and buttons, Enter is 确定, Esc is 取消. The rules are FormulaParamModel's.
#include <QDialog>
#include <vector>

#include "app/FormulaParamModel.h"

class QLineEdit;

namespace qelt {

class MessageBoxes;

class CQeltFormulaParam : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kMessageCaption = "提示";

    CQeltFormulaParam(FormulaParamModel model, MessageBoxes& boxes, QWidget* parent = nullptr);

    /// The values 确定 accepted, one per parameter; empty before.
    const std::vector<double>& Values() const { return m_values; }

    void accept() override;

  private:
    void RestoreDefaults();

    FormulaParamModel m_model;
    MessageBoxes& m_boxes;
    std::vector<QLineEdit*> m_fields;
    std::vector<double> m_values;
};

}  // namespace qelt
