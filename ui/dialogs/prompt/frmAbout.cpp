// SPDX-License-Identifier: MIT
#include "frmAbout.h"

#include "AppInfo.h"
#include "DialogIcon.h"
#include "LogFrontEnd.h"
#include "PlainText.h"
#include "ProviderLinks.h"
#include "RunTimeError.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;
// 60 twips at 15 twips per pixel: the gap between a label and the one placed after it.
constexpr int textGap = 4;

QHBoxLayout* textRow(std::initializer_list<QWidget*> labels)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(textGap);
    for (QWidget* label : labels)
        row->addWidget(label);
    row->addStretch(1);
    return row;
}

QFrame* horizontalLine(QWidget* parent, const QString& name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString versionText(const AppInfo& app)
{
    return QString::number(app.Major) + u'.' + QString::number(app.Minor) + u'.' + QString::number(app.Revision);
}

QString ask(const std::function<QString()>& version)
{
    // No function given reads as a component that cannot be asked.
    return version ? version() : u"unknown"_s;
}
} // namespace

frmAbout::frmAbout(const AppInfo& app, LogFrontEnd& log, ProviderLinks& links, ComponentVersions versions,
                   QWidget* owner)
    : QDialog(owner), m_app(app), m_log(log), m_links(links), m_versions(std::move(versions))
{
    setObjectName(u"frmAbout"_s);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(QFont(u"Tahoma"_s));
    // Form_MouseMove needs the moves over the bare dialog without a button held.
    setMouseTracking(true);
    buildControls();
    Form_Load();
}

QString frmAbout::websiteUrl()
{
    return AppInfo::productSite();
}

QString frmAbout::appreciationUrl(const AppInfo& app)
{
    return app.productPage(u"appreciation.html"_s);
}

QString frmAbout::contactAddress()
{
    return u"contact@tallyroo.example"_s;
}

QLabel* frmAbout::makeLabel(const QString& name, const QString& text)
{
    auto* label = PlainText::label(new QLabel(text, this));
    label->setObjectName(name);
    return label;
}

QLabel* frmAbout::makeLink(const QString& name, const QString& text, bool withToolTip)
{
    QLabel* label = makeLabel(name, text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    if (withToolTip)
        label->setToolTip(u"click to visit the website"_s);
    // A link reports its own moves and clicks; plain labels keep theirs, so they never reach
    // the dialog and the pointer stays as it is over them.
    label->setMouseTracking(true);
    label->installEventFilter(this);
    return label;
}

void frmAbout::buildControls()
{
    m_image = makeLabel(u"Image"_s);
    m_image->setFixedSize(32, 32);
    m_image->setPixmap(dialogIcon(this, QStyle::SP_MessageBoxInformation));

    m_lblAppName = makeLabel(u"lblAppName"_s);
    QFont bold = m_lblAppName->font();
    bold.setBold(true);
    m_lblAppName->setFont(bold);
    m_lblVersion = makeLabel(u"lblVersion"_s);
    m_lblComponentVersions = makeLabel(u"lblComponentVersions"_s);
    m_lblComponentVersions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblComponentVersions->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_lblCredit1 = makeLabel(u"lblCredit1"_s, u"Comments and bug reports to"_s);
    m_lblEmail1 = makeLink(u"lblEmail1"_s, contactAddress(), false);
    m_lblCredit2 = makeLabel(u"lblCredit2"_s, u"Charts drawn with Qt Charts, history kept with SQLite."_s);

    m_lblVisit = makeLabel(u"lblVisit"_s);
    m_lblWebsite = makeLink(u"lblWebsite"_s, u"website"_s, true);

    m_lblDisclaimer = makeLabel(
        u"lblDisclaimer"_s,
        u"This program is provided as is, without warranty of any kind. The usage it shows is read from your "
        u"provider's pages and may differ from what you are billed; your provider's own records always count."_s);
    m_lblDisclaimer->setWordWrap(true);
    m_lblDisclaimer->setFixedWidth(320);

    m_lblAppreciation = makeLink(u"lblAppreciation"_s, u"Show your appreciation"_s, true);

    m_btnOK = new QPushButton(u"OK"_s, this);
    m_btnOK->setObjectName(u"btnOK"_s);
    // Enter presses OK; Esc and the close box end the dialog just the same.
    m_btnOK->setDefault(true);
    connect(m_btnOK, &QPushButton::clicked, this, &frmAbout::btnOK_Click);

    auto* heading = new QVBoxLayout;
    heading->addLayout(textRow({m_lblAppName, m_lblVersion}));
    auto* components = new QHBoxLayout;
    components->addSpacing(20);
    components->addWidget(m_lblComponentVersions, 1);
    heading->addLayout(components);

    auto* top = new QHBoxLayout;
    top->addWidget(m_image, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(heading, 1);

    auto* credits = new QVBoxLayout;
    credits->setContentsMargins(52, 0, 0, 0);
    credits->addLayout(textRow({m_lblCredit1, m_lblEmail1}));
    credits->addWidget(m_lblCredit2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_lblAppreciation);
    bottom->addStretch(1);
    bottom->addWidget(m_btnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(credits);
    layout->addSpacing(8);
    layout->addLayout(textRow({m_lblVisit, m_lblWebsite}));
    layout->addWidget(horizontalLine(this, u"Line2"_s));
    layout->addWidget(m_lblDisclaimer);
    layout->addWidget(horizontalLine(this, u"Line1"_s));
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::Form_Load()
{
    try {
        const QString version = versionText(m_app);
        setWindowTitle(u"About "_s + m_app.ProductName);
        m_lblAppName->setText(m_app.ProductName);
        // The label rows place each text textGap after the end of the one before it.
        m_lblVersion->setText(u"version "_s + version);
        m_mailSubject = m_app.ProductName + u' ' + version;
        m_lblVisit->setText(u"visit the "_s + m_app.ProductName);

        const QStringList lines{
            u"Sarnick.dll version "_s + ask(m_versions.SarnickVer),
            u"Pelborne.dll version "_s + ask(m_versions.PelborneVer),
            u"Logger.dll version "_s + ask(m_versions.LoggerVer),
            u"TeeChart6.ocx version "_s + ask(m_versions.TeeChartVer),
            u"Hobwell.dll version "_s + ask(m_versions.qoSQLVer),
        };
        // A label breaks lines at LF; a CR would show as a stray character.
        m_lblComponentVersions->setText(lines.join(u'\n'));
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"frmAbout: Error while loading form:"_s + crlf + error.text(), 1);
    }
}

void frmAbout::btnOK_Click()
{
    accept();
}

void frmAbout::lblWebsite_Click()
{
    m_links.ExecuteLink(websiteUrl());
}

void frmAbout::lblAppreciation_Click()
{
    m_links.ExecuteLink(appreciationUrl(m_app));
}

void frmAbout::lblEmail1_Click()
{
    // Encoded, so that a blank or an "&" in the product name stays part of the subject.
    m_links.ExecuteLink(u"mailto:"_s + contactAddress() + u"?subject="_s +
                        QString::fromLatin1(QUrl::toPercentEncoding(m_mailSubject)));
}

void frmAbout::lblWebsite_MouseMove()
{
    setMousePointer(CustomPointer);
}

void frmAbout::lblAppreciation_MouseMove()
{
    setMousePointer(CustomPointer);
}

void frmAbout::lblEmail1_MouseMove()
{
    setMousePointer(CustomPointer);
}

void frmAbout::Form_MouseMove()
{
    setMousePointer(DefaultPointer);
}

void frmAbout::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    // The desktop's own pointing hand stands in for a stored cursor picture.
    if (pointer == CustomPointer)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    const bool move = event->type() == QEvent::MouseMove;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (!move && !release)
        return QDialog::eventFilter(watched, event);
    if (release) {
        // A click: the left button let go over the label it was pressed on.
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = qobject_cast<QLabel*>(watched);
        if (mouse->button() != Qt::LeftButton || !label || !label->rect().contains(mouse->position().toPoint()))
            return false;
    }
    if (watched == m_lblWebsite)
        move ? lblWebsite_MouseMove() : lblWebsite_Click();
    else if (watched == m_lblAppreciation)
        move ? lblAppreciation_MouseMove() : lblAppreciation_Click();
    else if (watched == m_lblEmail1)
        move ? lblEmail1_MouseMove() : lblEmail1_Click();
    else
        return QDialog::eventFilter(watched, event);
    return true;
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}
