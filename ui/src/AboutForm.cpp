#include "ui/AboutForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "VersionInfo.h"

namespace zemvalkorta {
namespace {

QLabel* PlaceLabel(QWidget* parent, int x, int y) {
    auto* label = new QLabel(parent);
    label->move(x, y);
    label->setMinimumWidth(100);
    return label;
}

QLabel* PlaceLink(QWidget* parent, int x, int y) {
    auto* label = PlaceLabel(parent, x, y);
    label->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

VersionBlock BuildVersionInfo() {
    return {{QStringLiteral("ProductName"), QStringLiteral(ZEMVALKORTA_PRODUCT_NAME)},
            {QStringLiteral("Comments"), QStringLiteral(ZEMVALKORTA_COMMENTS)},
            {QStringLiteral("FileVersion"), QStringLiteral(ZEMVALKORTA_FILE_VERSION)},
            {QStringLiteral("Year"), QStringLiteral(ZEMVALKORTA_YEAR)},
            {QStringLiteral("CompanyName"), QStringLiteral(ZEMVALKORTA_COMPANY_NAME)},
            {QStringLiteral("CompanyPhone"), QStringLiteral(ZEMVALKORTA_COMPANY_PHONE)},
            {QStringLiteral("CompanyEMail"), QStringLiteral(ZEMVALKORTA_COMPANY_EMAIL)},
            {QStringLiteral("CompanyWeb"), QStringLiteral(ZEMVALKORTA_COMPANY_WEB)}};
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(274, 197);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 257, 149);

    ProductNameLabel = PlaceLabel(bevel, 8, 8);
    CommentsLabel = new QLabel(bevel);
    CommentsLabel->setWordWrap(true);
    CommentsLabel->setGeometry(8, 26, 249 - 8, 25);
    VersionLabel = PlaceLabel(bevel, 8, 56);
    YearLabel = PlaceLabel(bevel, 150, 56);
    CompanyNameLabel = PlaceLabel(bevel, 8, 76);
    PhoneLabel = PlaceLabel(bevel, 8, 96);
    EMailLabel = PlaceLink(bevel, 8, 120);
    WebLabel = PlaceLink(bevel, 140, 120);
    EMailLabel->installEventFilter(this);
    WebLabel->installEventFilter(this);

    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setGeometry(99, 165, 75, 25);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TAboutForm::GetVersionValue(const VersionBlock& block, const QString& key) {
    const auto found = block.constFind(key);
    if (found == block.constEnd()) return std::nullopt;
    return *found;
}

void TAboutForm::LoadVersionInfo(const VersionBlock& block) {
    auto apply = [&block](const char* key, auto&& setter) {
        if (auto value = GetVersionValue(block, QString::fromLatin1(key))) setter(*value);
    };
    apply("ProductName", [this](const QString& v) { ProductNameLabel->setText(v); });
    apply("Comments", [this](const QString& v) { CommentsLabel->setText(v); });
    apply("FileVersion", [this](const QString& v) { VersionLabel->setText(QStringLiteral("Версия ") + v + ','); });
    apply("Year", [this](const QString& v) { YearLabel->setText(v); });
    apply("CompanyName", [this](const QString& v) { CompanyNameLabel->setText(v); });
    apply("CompanyPhone", [this](const QString& v) { PhoneLabel->setText(QStringLiteral("тел. ") + v); });
    apply("CompanyEMail", [this](const QString& v) {
        EMailLabel->setText(QStringLiteral("e-mail: ") + v);
        EMailLink = QStringLiteral("mailto:") + v;
    });
    apply("CompanyWeb", [this](const QString& v) {
        WebLink = QStringLiteral("http://") + v;
        WebLabel->setText(WebLink);
    });
    VersionLabel->adjustSize();
    YearLabel->move(VersionLabel->x() + VersionLabel->width() + 4, VersionLabel->y());
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const QString& target = watched == EMailLabel ? EMailLink : watched == WebLabel ? WebLink : QString();
        if (!target.isEmpty()) QDesktopServices::openUrl(QUrl(target));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zemvalkorta
