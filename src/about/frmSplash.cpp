#include "about/frmSplash.h"

#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <functional>
#include <utility>

#include "base/AppError.h"
#include "base/DataFiles.h"
#include "base/Latin1.h"
#include "base/Prompts.h"
#include "base/QtText.h"

namespace velkor {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int pointSize, bool bold,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

}  // namespace

frmSplash::frmSplash(Branding& branding, Prompts& prompts, std::vector<std::string> dataFolders,
                     QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_branding(branding),
      m_prompts(prompts),
      m_dataFolders(std::move(dataFolders)) {
    setObjectName(QStringLiteral("frmSplash"));
    buildLayout();

    tmrSplashUnload = new QTimer(this);
    tmrSplashUnload->setObjectName(QStringLiteral("tmrSplashUnload"));
    tmrSplashUnload->setSingleShot(true);
    tmrSplashUnload->setInterval(UnloadDelayMs);
    connect(tmrSplashUnload, &QTimer::timeout, this, &frmSplash::tmrSplashUnload_Timer);

    Form_Load();

    // Counted from the end of the load, so an error prompt during the load cannot close the
    // window underneath it.
    tmrSplashUnload->start();

    adjustSize();
    if (QScreen* screen = this->screen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void frmSplash::buildLayout() {
    const QColor ink(0x1f, 0x29, 0x33);
    const QColor softInk(0x55, 0x5f, 0x6a);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("splashPanel"));
    panel->setStyleSheet(
        QStringLiteral("QFrame#splashPanel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #ffffff, stop:1 #eef1f4); border: 1px solid #8d97a2; }"));

    // A thin strip in the shift light's colours along the top edge.
    auto* lampStrip = new QFrame(panel);
    lampStrip->setFixedHeight(6);
    lampStrip->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2fae4e, stop:0.55 #f2c230,"
        " stop:1 #d8342c); border: none;"));

    imgLogo = new QLabel(panel);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setStyleSheet(QStringLiteral("background: transparent; border: none;"));

    lblCompanyName = makeLabel(panel, "lblCompanyName", QString(), 28, true, ink);
    QFont companyFont = lblCompanyName->font();
    companyFont.setItalic(true);
    lblCompanyName->setFont(companyFont);
    lblProductName =
        makeLabel(panel, "lblProductName", QStringLiteral("Shift Light  Controller Data Logging"),
                  16, true, ink);
    lblVersion = makeLabel(panel, "lblVersion", QStringLiteral("Version 2.0"), 12, true, softInk);
    lblCopyright = makeLabel(panel, "lblCopyright", fromCore(CopyrightLine), 8, false, softInk);
    lblCopyright->setWordWrap(true);
    for (QLabel* label : {lblCompanyName, lblProductName, lblVersion, lblCopyright}) {
        label->setStyleSheet(QStringLiteral("background: transparent; border: none;"));
    }

    auto* rule = new QFrame(panel);
    rule->setFixedHeight(1);
    rule->setStyleSheet(QStringLiteral("background: #c9d0d7; border: none;"));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addStretch(1);
    texts->addWidget(lblCompanyName);
    texts->addSpacing(4);
    texts->addWidget(lblProductName);
    texts->addWidget(lblVersion);
    texts->addStretch(1);

    auto* body = new QHBoxLayout;
    body->setSpacing(28);
    body->addWidget(imgLogo, 0, Qt::AlignVCenter);
    body->addLayout(texts, 1);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(28, 22, 28, 16);
    content->setSpacing(16);
    content->addLayout(body, 1);
    content->addWidget(rule);
    content->addWidget(lblCopyright);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(lampStrip);
    panelLayout->addLayout(content, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    setMinimumSize(560, 260);
}

void frmSplash::Form_Load() {
    const std::function<void()> steps[] = {
        [this] { readBrandingFile(); },
        [this] { showCompanyLabel(); },
        [this] { applyCompanyFontStyle(); },
        [this] { showLogo(); },
        [] { QCoreApplication::setApplicationName(QStringLiteral("Velkor")); },
    };
    for (const auto& step : steps) {
        if (runStep(m_prompts, step) == StepResult::Aborted) {
            return;
        }
    }
}

void frmSplash::readBrandingFile() {
    BrandingFile file = loadBranding(m_dataFolders);
    m_brandingFolder = file.folder;
    // What was read stays even when the file broke off, so Ignore goes on with it.
    m_branding = std::move(file.read.branding);
    if (file.read.error) {
        throw *file.read.error;
    }
}

void frmSplash::showCompanyLabel() {
    // Each setting takes effect as soon as its entry is read, so a short style list still shows
    // what it has.
    lblCompanyName->setText(fromCore(styleEntry(m_branding, 1)));
    QFont font = lblCompanyName->font();
    font.setFamily(fromCore(styleEntry(m_branding, 2)));
    lblCompanyName->setFont(font);
    font.setPointSizeF(companyFontSize(m_branding));
    lblCompanyName->setFont(font);
}

void frmSplash::applyCompanyFontStyle() {
    const FontStyle style = companyFontStyle(m_branding);
    QFont font = lblCompanyName->font();
    font.setBold(style.bold);
    font.setItalic(style.italic);
    lblCompanyName->setFont(font);
}

void frmSplash::showLogo() {
    imgLogo->clear();
    imgLogo->hide();
    const std::optional<std::string> name = logoFileName(m_branding);
    if (!name) {
        return;
    }
    std::string path;
    if (m_brandingFolder) {
        path = *m_brandingFolder + "/" + *name;
    } else if (std::optional<std::string> found = findDataFile(m_dataFolders, *name)) {
        path = *found;
    } else {
        path = (m_dataFolders.empty() ? std::string(".") : m_dataFolders.front()) + "/" + *name;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw AppError(ErrorNumber::InvalidPicture, "Velkor",
                       "The logo picture " + latin1FromUtf8(path) + " does not exist.");
    }
    QPixmap picture;
    if (!picture.load(QFile::decodeName(path.c_str()))) {
        throw AppError(
            ErrorNumber::InvalidPicture, "Velkor",
            "The logo picture " + latin1FromUtf8(path) + " could not be read as a picture.");
    }
    imgLogo->setPixmap(picture);
    imgLogo->show();
}

void frmSplash::tmrSplashUnload_Timer() {
    accept();
}

}  // namespace velkor
