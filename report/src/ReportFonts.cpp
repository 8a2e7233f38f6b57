#include <QFont>
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

}  // namespace zemvalkorta
