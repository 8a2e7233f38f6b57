#pragma once

// General parameters of a measurement: kind of concrete, geometry and, for a
// mathematical-model reference, the model's four coefficients.

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

#include "core/MeasureEdits.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zemvalkorta {

class TSetParamForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetParamForm(QWidget* parent = nullptr);

    void SetModelEnabled(bool enabled);
    void SetModelCoefficients(const ModelCoefficientSet& coefficients);
    ModelCoefficientSet GetModelCoefficients() const;
    void SetConcreteKind(std::int32_t code);
    std::int32_t GetConcreteKind() const;
    void SetGeometryKind(std::int32_t code);
    std::int32_t GetGeometryKind() const;

    QLabel* MathModelLabel;
    std::array<QLabel*, 4> CoefficientLabels{};
    std::array<QLineEdit*, 4> CoefficientEdits{};  // a0Edit .. a3Edit
    QComboBox* SortComboBox;
    QComboBox* GeometryComboBox;
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

private:
    void FormCreate();

    ModelCoefficientSet rememberedCoefficients_{};
    std::array<QString, 4> shownCoefficients_{};  // the texts SetModelCoefficients put into the fields
};

}  // namespace zemvalkorta
