#include "ui/AboutForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "VersionInfo.h"
#include "ui/DialogLayout.h"

namespace zemvalkorta {
namespace {

QLabel* MakeLink(QWidget* parent) {
    auto* label = new QLabel(parent);
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
    QFrame* bevel = SetUpDialog(this, QStringLiteral("О программе"));
    auto* bevelLayout = LayOutFrame<QVBoxLayout>(bevel, {8, 8, 8, 8}, 4);

    ProductNameLabel = new QLabel(bevel);
    CommentsLabel = new QLabel(bevel);
    CommentsLabel->setWordWrap(true);
    CommentsLabel->setMinimumWidth(249 - 8);
    VersionLabel = new QLabel(bevel);
    YearLabel = new QLabel(bevel);
    CompanyNameLabel = new QLabel(bevel);
    PhoneLabel = new QLabel(bevel);
    EMailLabel = MakeLink(bevel);
    WebLabel = MakeLink(bevel);
    EMailLabel->installEventFilter(this);
    WebLabel->installEventFilter(this);

    auto row = [](QLabel* first, QLabel* second) {
        auto* line = new QHBoxLayout;
        line->setSpacing(12);
        line->addWidget(first);
        line->addWidget(second);
        line->addStretch(1);
        return line;
    };
    bevelLayout->addWidget(ProductNameLabel);
    bevelLayout->addWidget(CommentsLabel);
    bevelLayout->addLayout(row(VersionLabel, YearLabel));
    bevelLayout->addWidget(CompanyNameLabel);
    bevelLayout->addWidget(PhoneLabel);
    bevelLayout->addLayout(row(EMailLabel, WebLabel));
    bevelLayout->addStretch(1);

    CloseButton = MakeDialogButton(QStringLiteral("Закрыть"), this);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    AddButtonRow(this, {CloseButton});
    FitDialog(this, QSize(274, 197));
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
        eMailLink_ = QStringLiteral("mailto:") + v;
    });
    apply("CompanyWeb", [this](const QString& v) {
        webLink_ = QStringLiteral("http://") + v;
        WebLabel->setText(webLink_);
    });
    FitDialog(this, QSize(274, 197));
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const QString& target = watched == EMailLabel ? eMailLink_ : watched == WebLabel ? webLink_ : QString();
        if (!target.isEmpty()) QDesktopServices::openUrl(QUrl(target));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zemvalkorta
