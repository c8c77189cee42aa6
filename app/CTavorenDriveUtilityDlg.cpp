#include "app/CTavorenDriveUtilityDlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QStandardItemModel>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

#include "app/CAboutDlg.h"
#include "app/DesktopShell.h"
#include "drive/CommandSet.h"
#include "drive/Discovery.h"
#include "drive/Transport.h"
#include "pages/CDialogSettingBd8.h"
#include "pages/CLedDialog.h"
#include "pages/CStatusDialog.h"
#include "pages/CUtilityDialog.h"
#include "res/ApplicationIcon.h"
#include "res/DialogBuilder.h"
#include "res/StringTable.h"

CTavorenDriveUtilityDlg* g_pMainDlg = nullptr;

namespace {

constexpr int kDriveSelector = 1000;
constexpr int kTabControlId = 1001;
constexpr int kNoDriveLabel = 1051;

constexpr int kAboutItemString = 101;
constexpr int kNoDriveString = 155;

constexpr int kPollIntervalMs = 5000;
constexpr unsigned kCommandMask = 0xFFF0;

constexpr char kSettingTab[] = "  Setting  ";
constexpr char kStatusTab[] = "  Status  ";
constexpr char kUtilityTab[] = "  Utility  ";
constexpr char kLedTab[] = "  LED  ";
constexpr char kHelpItem[] = "ヘルプの表示";

constexpr char kHelpFileStem[] = "QMV-TKSeries";
constexpr char kJapaneseHelpSuffix[] = "_Japanese.chm";
constexpr char kEnglishHelpSuffix[] = "_English.chm";

// A caption bar with the window menu and a close button; no minimise or maximise button.
constexpr Qt::WindowFlags kMainWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                             Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                             Qt::WindowCloseButtonHint;

// Drive texts are raw bytes; a control character would break the entry's line in the list.
QString SelectorText(const std::string& displayName) {
    QString text = QString::fromUtf8(displayName);
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control) {
            character = QChar::ReplacementCharacter;
        }
    }
    return text;
}

// Tabs about as compact as native ones: the tab texts bring their own spacing, and the pages
// sit where a tab row of one text line ends. With the style's roomier tabs the four would not
// fit in one row in every font, and Qt has no multi-line tab rows.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (widget != nullptr && metric == PM_TabBarTabHSpace) {
            return widget->fontMetrics().averageCharWidth();
        }
        if (widget != nullptr && metric == PM_TabBarTabVSpace) {
            return widget->fontMetrics().height() / 2;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

bool IsEnterKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

void OpenHelpFile() {
    const char* suffix =
        tavoren::res::UserLocaleIsJapanese() ? kJapaneseHelpSuffix : kEnglishHelpSuffix;
    const QString name = QString::fromUtf8(kHelpFileStem) + QString::fromUtf8(suffix);
    tavoren::ActiveDesktopShell().Open(QDir::current().absoluteFilePath(name));
}

}  // namespace

CTavorenDriveUtilityDlg::CTavorenDriveUtilityDlg(QWidget* parent)
    : QDialog(parent, kMainWindowFlags),
      m_layout(tavoren::res::BuildDialog(tavoren::res::kMainWindowTemplate, this)) {
    m_driveCombo = m_layout->ControlAs<QComboBox>(kDriveSelector);
    m_tabControl = m_layout->ControlAs<QTabWidget>(kTabControlId);
    m_noDriveText = m_layout->ControlAs<QLabel>(kNoDriveLabel);
    auto* tabStyle = new CompactTabStyle;
    tabStyle->setParent(m_tabControl);
    m_tabControl->tabBar()->setStyle(tabStyle);
    // Entries stay in discovery order, so entry i always names m_driveLetters[i]; sorting
    // would put /dev/sr10 before /dev/sr2.
    m_driveCombo->setModel(new QStandardItemModel(m_driveCombo));
    // The window menu opens over the selector too.
    m_driveCombo->setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_driveCombo, &QComboBox::currentIndexChanged, this,
            &CTavorenDriveUtilityDlg::OnSelchangeDrive);

    m_systemMenu = new QMenu(this);
    connect(m_systemMenu, &QMenu::triggered, this,
            [this](QAction* action) { OnSysCommand(action->data().toUInt()); });
    connect(&m_pollTimer, &QTimer::timeout, this, &CTavorenDriveUtilityDlg::OnPollTimer);
    g_pMainDlg = this;
}

CTavorenDriveUtilityDlg::~CTavorenDriveUtilityDlg() {
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
    for (std::uint32_t index = 0; index < m_pageCount; ++index) {
        delete m_pages[index];
        m_pages[index] = nullptr;
    }
}

void CTavorenDriveUtilityDlg::setVisible(bool visible) {
    if (visible && !m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CTavorenDriveUtilityDlg::OnInitDialog() {
    BuildSystemMenu();
    setWindowIcon(tavoren::res::ApplicationIcon());
    // Runs against no drive too: the keep-alive then simply goes nowhere.
    StartPollTimer();
    EnumerateDrives();
    if (m_driveCombo->count() == 0) {
        m_noDriveText->setText(tavoren::res::DisplayText(tavoren::res::LoadString(kNoDriveString)));
    } else {
        CreatePages();
    }
    m_driveCombo->setFocus();
}

void CTavorenDriveUtilityDlg::BuildSystemMenu() {
    const QString aboutText = tavoren::res::LoadString(kAboutItemString);
    if (aboutText.isEmpty()) {
        return;
    }
    m_systemMenu->addSeparator();
    if (tavoren::res::UserLocaleIsJapanese()) {
        m_systemMenu->addAction(QString::fromUtf8(kHelpItem))->setData(kHelpCommand);
    }
    m_systemMenu->addAction(aboutText)->setData(kAboutCommand);
}

void CTavorenDriveUtilityDlg::EnumerateDrives() {
    // Filling the selector is not the user choosing a drive.
    const QSignalBlocker blocker(m_driveCombo);
    m_driveCombo->clear();
    std::uint8_t entry = 0;
    for (const tavoren::DiscoveredDrive& drive : tavoren::EnumerateSupportedDrives()) {
        m_driveCombo->addItem(SelectorText(drive.displayName));
        m_driveLetters[entry++] = static_cast<std::uint8_t>(drive.letter);
    }
    m_driveCombo->setCurrentIndex(0);
}

void CTavorenDriveUtilityDlg::CreatePages() {
    m_tabControl->insertTab(0, new QWidget, QString::fromUtf8(kSettingTab));
    m_pages[0] = new CDialogSettingBd8(this);
    std::uint32_t next = 1;
    if (tavoren::ReadSettingsBlock().HasRealTime()) {
        m_tabControl->insertTab(1, new QWidget, QString::fromUtf8(kStatusTab));
        m_pages[1] = new CStatusDialog(this);
        next = 2;
    }
    m_tabControl->insertTab(static_cast<int>(next), new QWidget, QString::fromUtf8(kUtilityTab));
    m_pages[next++] = new CUtilityDialog(this);
    if (tavoren::ReadSettingsBlock().HasLedControl()) {
        m_tabControl->insertTab(static_cast<int>(next), new QWidget, QString::fromUtf8(kLedTab));
        m_ledPage = new CLedDialog(this);
        m_pages[next++] = m_ledPage;
    }
    m_pageCount = next;
    const QPoint displayArea = DisplayAreaTopLeft();
    for (std::uint32_t index = 0; index < m_pageCount; ++index) {
        m_pages[index]->move(displayArea);
        m_pages[index]->raise();
    }
    FitTabControlToPages(displayArea);
    // Connected only now: inserting the first tab selects it, which is no user's tab change.
    connect(m_tabControl, &QTabWidget::currentChanged, this,
            &CTavorenDriveUtilityDlg::OnSelchangeTab);
    m_pages[0]->show();
}

// Where the tab control's display area begins, as the tab control itself will lay it out once
// shown. The pages' own dialog-unit origin lands there only in the fonts they were drawn for;
// in others it would cover the tab row.
QPoint CTavorenDriveUtilityDlg::DisplayAreaTopLeft() const {
    QStyleOptionTabWidgetFrame option;
    option.initFrom(m_tabControl);
    option.lineWidth =
        m_tabControl->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_tabControl);
    option.shape = m_tabControl->tabBar()->shape();
    option.tabBarSize = m_tabControl->tabBar()->sizeHint();
    const QRect contents = m_tabControl->style()->subElementRect(QStyle::SE_TabWidgetTabContents,
                                                                 &option, m_tabControl);
    return m_tabControl->geometry().topLeft() + contents.topLeft();
}

// The layout assumes the pages' font runs smaller than the window's; where the fallback fonts
// come out alike, grow the tab control and the window so that every page shows whole.
void CTavorenDriveUtilityDlg::FitTabControlToPages(QPoint displayArea) {
    QSize pages;
    for (std::uint32_t index = 0; index < m_pageCount; ++index) {
        pages = pages.expandedTo(m_pages[index]->size());
    }
    const QRect tab = m_tabControl->geometry();
    const int frame = displayArea.x() - tab.x();
    const QRect needed(tab.topLeft(), QPoint(displayArea.x() + pages.width() + frame - 1,
                                             displayArea.y() + pages.height() + frame - 1));
    const QRect fitted = tab.united(needed);
    if (fitted == tab) return;
    const QSize margins(width() - tab.right(), height() - tab.bottom());
    m_tabControl->setGeometry(fitted);
    setFixedSize(size().expandedTo(QSize(fitted.right(), fitted.bottom()) + margins));
}

void CTavorenDriveUtilityDlg::OnSelchangeTab(int index) {
    if (m_busy || index < 0 || static_cast<std::uint32_t>(index) >= m_pageCount) {
        return;
    }
    for (std::uint32_t page = 0; page < m_pageCount; ++page) {
        if (page != static_cast<std::uint32_t>(index)) {
            m_pages[page]->hide();
        }
    }
    m_pages[index]->show();
}

void CTavorenDriveUtilityDlg::OnSelchangeDrive(int index) {
    if (index < 0) {
        return;
    }
    tavoren::OpenDrive(static_cast<char>(m_driveLetters[static_cast<std::size_t>(index)]));
    if (m_pageCount == 0) {
        return;
    }
    g_pSettingPage->RefreshFromDrive(false);
    if (tavoren::ReadSettingsBlock().HasLedControl() && m_ledPage != nullptr) {
        g_pLedPage->RefreshFromDrive();
    }
}

void CTavorenDriveUtilityDlg::StartPollTimer() { m_pollTimer.start(kPollIntervalMs); }

void CTavorenDriveUtilityDlg::StopPollTimer() { m_pollTimer.stop(); }

void CTavorenDriveUtilityDlg::OnPollTimer() { tavoren::SendKeepAlive(); }

void CTavorenDriveUtilityDlg::OnSysCommand(unsigned commandId) {
    switch (commandId & kCommandMask) {
        case kAboutCommand: {
            CAboutDlg about(this);
            about.exec();
            break;
        }
        case kHelpCommand:
            OpenHelpFile();
            break;
        default:
            break;
    }
}

void CTavorenDriveUtilityDlg::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        // Enter never triggers a default button, whatever the pages make of their buttons.
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        PopUpSystemMenu(mapToGlobal(QPoint(0, 0)));
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTavorenDriveUtilityDlg::contextMenuEvent(QContextMenuEvent* event) {
    PopUpSystemMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                : mapToGlobal(QPoint(0, 0)));
    event->accept();
}

void CTavorenDriveUtilityDlg::PopUpSystemMenu(const QPoint& globalPos) {
    if (!m_systemMenu->isEmpty()) {
        m_systemMenu->popup(globalPos);
    }
}
