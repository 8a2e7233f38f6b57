#pragma once

// Product name, description, version and the maker's contact data.

#include <QDialog>
#include <QMap>
#include <QString>
#include <optional>

class QLabel;
class QPushButton;

namespace zemvalkorta {

// Key -> value, as a version resource's string table holds them.
using VersionBlock = QMap<QString, QString>;

// The version data this build was made with.
VersionBlock BuildVersionInfo();

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void LoadVersionInfo(const VersionBlock& block);
    static std::optional<QString> GetVersionValue(const VersionBlock& block, const QString& key);

    QString EMailTarget() const { return eMailLink_; }
    QString WebTarget() const { return webLink_; }

    QLabel* ProductNameLabel;
    QLabel* CommentsLabel;
    QLabel* VersionLabel;
    QLabel* YearLabel;
    QLabel* CompanyNameLabel;
    QLabel* PhoneLabel;
    QLabel* EMailLabel;
    QLabel* WebLabel;
    QPushButton* CloseButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString eMailLink_;
    QString webLink_;
};

}  // namespace zemvalkorta
