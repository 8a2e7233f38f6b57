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
    int GetChannelNumber() const { return channelNumber_; }
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
    int channelNumber_ = 0;
    std::int32_t geometryKind_ = 0;
    Dimensions rememberedDimensions_{};
    double primaryWeight_ = 0.0;
    double saturatedWeight_ = 0.0;
    // What the setters put into the fields: a field still showing it gives back the stored value unrounded.
    std::array<QString, 3> shownDimensions_{};
    QString shownPrimaryWeight_;
    QString shownSaturatedWeight_;
};

}  // namespace zemvalkorta
