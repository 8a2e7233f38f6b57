#include <QFont>
#include <QPaintDevice>
#include <mutex>

#include "report/ReportRenderer.h"
#include "report/ReportTemplate.h"

namespace zemvalkorta {

void InstallReportFonts() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        // Debian ships these metric-compatible faces in place of the Windows
        // fonts; the metrics matter because the templates wrap by width.
        QFont::insertSubstitutions(SerifFontFamily, {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                                                     QStringLiteral("DejaVu Serif")});
        QFont::insertSubstitutions(SansFontFamily, {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                                    QStringLiteral("DejaVu Sans")});
    });
}

QFont ReportFont(const QPaintDevice* device, const QString& family, double pointSize, bool bold) {
    QFont font(family);
    const int deviceDpi = device != nullptr && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    font.setPointSizeF(pointSize * TemplateUnitsPerInch / deviceDpi);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Kerning and glyph positions at fractional sizes, as on paper.
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

}  // namespace zemvalkorta
