#include "ui/CatalogueTexts.h"

#include "core/Catalogue.h"

namespace zemvalkorta {

QString ConcreteKindText(std::int32_t code) { return QString::fromStdString(ConcreteKindName(code)); }

QString GeometryText(std::int32_t code) { return QString::fromStdString(GeometryName(code)); }

QString StandardText(std::int32_t standardPattern, const std::array<double, 4>& coefficients) {
    return QString::fromStdString(StandardLabel(standardPattern, coefficients));
}

QString ChannelsText(std::int32_t activeChannels) { return QString::fromStdString(ChannelsLabel(activeChannels)); }

QString DurationString(std::uint32_t seconds) { return QString::fromStdString(DurationText(seconds)); }

QString NumberString(std::uint32_t value) { return QString::fromStdString(NumberText(value)); }

}  // namespace zemvalkorta
