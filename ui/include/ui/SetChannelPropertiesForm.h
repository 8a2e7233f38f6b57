#pragma once

// Properties of one concrete specimen: dimensions, the two masses, the age.

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

#include "core/Catalogue.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zemvalkorta {

class TSetChannelPropertiesForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetChannelPropertiesForm(QWidget* parent = nullptr);

    void SetChannelNumber(int channelNumber);
    int GetChannelNumber() const { return ChannelNumber; }
    void SetDimensions(std::int32_t geometryKind, const Dimensions& dimensions);
    Dimensions GetDimensions() const;
    void SetPrimaryWeight(double mass);
    double GetPrimaryWeight();
    void SetSaturatedWeight(double mass);
    double GetSaturatedWeight();
    void SetPatternAge(const QString& age);
    QString GetPatternAge() const;

    QLabel* XLabel;
    QLabel* YLabel;
    QLabel* ZLabel;
    QLineEdit* XEdit;
    QLineEdit* YEdit;
    QLineEdit* ZEdit;
    QLineEdit* PrimaryWeightEdit;
    QLineEdit* SaturatedWeightEdit;
    QLineEdit* AgeEdit;
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

private:
    int ChannelNumber = 0;
    std::int32_t GeometryKind = 0;
    Dimensions RememberedDimensions{};
    double PrimaryWeight = 0.0;
    double SaturatedWeight = 0.0;
    // What the setters put into the fields: a field still showing it gives back the stored value unrounded.
    std::array<QString, 3> ShownDimensions{};
    QString ShownPrimaryWeight;
    QString ShownSaturatedWeight;
};

}  // namespace zemvalkorta
