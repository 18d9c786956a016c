#include "main/main_form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QStatusBar>

#include "common/application.h"
#include "main/about_form.h"
#include "main/browser_policies.h"
#include "main/browser_shortcuts.h"
#include "main/dev_tools_toggle.h"
#include "main/embedded_pictures.h"
#include "main/favorites_menu.h"
#include "main/find_bar.h"
#include "main/home_page_file.h"
#include "main/page_crash_notice.h"
#include "main/picture_control.h"
#include "main/readable_address.h"
#include "main/tool_bar_pictures.h"
#include "main/update_library.h"
#include "main/window_closing.h"
#include "ui_main_form.h"

namespace main_window {

namespace {

// A picture that cannot be shown is reported for itself (once per file), and
// whatever shows the next one goes on.
void ShowPicture(TImage* image, const char* file) {
    common::RunHandler([&] { image->LoadFromFile(QString::fromLatin1(file)); });
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TMainForm>()) {
    ui->setupUi(this);
    setWindowIcon(ProgramIcon());
    setBackgroundRole(QPalette::Button);
    ui->Panel1->setBackgroundRole(QPalette::Window);
    ui->Panel1->setMouseTracking(true);
    ui->Panel1->installEventFilter(this);
    ui->edAddress->installEventFilter(this);
    setMouseTracking(true);
    ShowEmbeddedPictures();
    ConnectPictureButtons();

    browser::TChromium& view = *ui->crm;
    view.DefaultUrl = QStringLiteral("about:blank");
    view.DefaultEncoding = QStringLiteral("GBK");
    view.Options.ApplicationCache = browser::STATE_DISABLED;
    ConnectBrowserEvents();
    ConnectShellCommands();
    ArrangeAutoUpgrader(this);
    view.Loaded();
    FormCreate();
}

TMainForm::~TMainForm() = default;

browser::TChromium* TMainForm::crm() const {
    return ui->crm;
}

// Each button's first appearance, built into the program, shows until an
// event loads a picture file.
void TMainForm::ShowEmbeddedPictures() {
    const std::pair<TImage*, const char*> firstAppearance[] = {
        {ui->ImageFavorite, kFavoritePictures.normal}, {ui->ImageAbout, kAboutPictures.normal},
        {ui->ImageBack, kBackPictures.normal},         {ui->ImageForword, kForwardPictures.normal},
        {ui->ImageProcess, kProcessPictures.normal},   {ui->ImageQQ, kAboutPictures.normal}};
    for (const auto& [image, file] : firstAppearance)
        image->SetPicture(EmbeddedPicture(QString::fromLatin1(file).section(u'/', -1)));
    ui->ImageProcess->SetCenter(true);
    ui->ImageProcess->SetStretch(true);
}

void TMainForm::FormCreate() {
    common::RunHandler([this] {
        ui->crm->Options.ApplicationCache = browser::STATE_DISABLED;
        FLoading = false;
        const std::optional<QString> homePage = ReadHomePageUrl(HomePageFilePath());
        if (!homePage)
            return;
        ui->crm->DefaultUrl = *homePage;
        if (browser::TCefBrowser* browser = ui->crm->Browser())
            browser->GetMainFrame()->LoadUrl(ui->crm->DefaultUrl);
        ShowLoadingPicture();
    });
}

// The close is always allowed once the downloads and the page have had
// their say; until then the window stays and closes itself later.
bool TMainForm::FormCloseQuery() {
    return closing_->CloseQuery();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TMainForm::CanGoBack() const {
    const browser::TCefBrowser* browser = ui->crm->Browser();
    return browser && browser->CanGoBack();
}

bool TMainForm::CanGoForward() const {
    const browser::TCefBrowser* browser = ui->crm->Browser();
    return browser && browser->CanGoForward();
}

void TMainForm::ConnectPictureButtons() {
    auto hoverSquare = [this](TImage* image, const ButtonPictures& pictures) {
        image->OnMouseMove = [=, this](TImage*, int x, int y) {
            HoverSquareButtonMove(image, pictures, x, y);
        };
        image->OnMouseDown = [=](TImage*, int, int) { ShowPicture(image, pictures.pressed); };
        image->OnMouseUp = [=](TImage*, int, int) { ShowPicture(image, pictures.hover); };
    };
    hoverSquare(ui->ImageFavorite, kFavoritePictures);
    hoverSquare(ui->ImageAbout, kAboutPictures);
    auto history = [this](TImage* image, const ButtonPictures& pictures, bool back) {
        auto available = [this, back] { return back ? CanGoBack() : CanGoForward(); };
        image->OnMouseMove = [=, this](TImage*, int, int) {
            HistoryButtonEvent(image, available(), pictures.hover);
        };
        image->OnMouseDown = [=, this](TImage*, int, int) {
            HistoryButtonEvent(image, available(), pictures.pressed);
        };
        image->OnMouseUp = [=, this](TImage*, int, int) {
            HistoryButtonEvent(image, available(), pictures.hover);
        };
    };
    history(ui->ImageBack, kBackPictures, true);
    history(ui->ImageForword, kForwardPictures, false);
    ui->ImageBack->OnClick = [this](TImage*) { ImageBackClick(); };
    ui->ImageForword->OnClick = [this](TImage*) { ImageForwordClick(); };
    ui->ImageProcess->OnClick = [this](TImage*) { ImageProcessClick(); };
    ui->ImageProcess->OnMouseMove = [this](TImage*, int, int) { ImageProcessMouseMove(); };
}

void TMainForm::HoverSquareButtonMove(TImage* image, const ButtonPictures& pictures, int x, int y) {
    ShowPicture(image, InsideHoverSquare(x, y) ? pictures.hover : pictures.normal);
}

void TMainForm::HistoryButtonEvent(TImage* image, bool available, const char* picture) {
    if (available)
        ShowPicture(image, picture);
}

void TMainForm::ShowHistoryState() {
    ShowPicture(ui->ImageBack, CanGoBack() ? kBackPictures.normal : kBackPictures.unavailable);
    ShowPicture(ui->ImageForword,
                CanGoForward() ? kForwardPictures.normal : kForwardPictures.unavailable);
}

void TMainForm::ShowLoadingPicture() {
    ShowPicture(ui->ImageProcess, kLoadingPicture);
    ui->ImageProcess->SetAnimated(true);
}

void TMainForm::Panel1MouseMove() {
    ShowPicture(ui->ImageFavorite, kFavoritePictures.normal);
    ShowPicture(ui->ImageAbout, kAboutPictures.normal);
    ShowHistoryState();
    if (!FLoading)
        ShowPicture(ui->ImageProcess, kProcessPictures.normal);
}

void TMainForm::FormMouseMove() {
    ShowPicture(ui->ImageFavorite, kFavoritePictures.normal);
}

void TMainForm::FormClick() {
    ShowPicture(ui->ImageFavorite, kFavoritePictures.normal);
}

void TMainForm::ImageProcessMouseMove() {
    if (!FLoading)
        ShowPicture(ui->ImageProcess, kProcessPictures.hover);
}

void TMainForm::mouseMoveEvent(QMouseEvent* event) {
    common::RunHandler([this] { FormMouseMove(); });
    QWidget::mouseMoveEvent(event);
}

void TMainForm::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        common::RunHandler([this] { FormClick(); });
    QWidget::mouseReleaseEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Panel1 && event->type() == QEvent::MouseMove) {
        common::RunHandler([this] { Panel1MouseMove(); });
    } else if (watched == ui->edAddress && event->type() == QEvent::KeyPress) {
        return edAddressKeyPress(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

// Enter loads the box's text exactly as typed and is not passed on to the box.
bool TMainForm::edAddressKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    browser::TCefBrowser* browser = ui->crm->Browser();
    if (!browser)
        return false;
    browser->GetMainFrame()->LoadUrl(AddressBoxUrl());
    return true;
}

QString TMainForm::AddressBoxUrl() const {
    const QString text = ui->edAddress->text();
    return text == shownAddress_ ? encodedAddress_ : text;
}

void TMainForm::ImageBackClick() {
    if (browser::TCefBrowser* browser = ui->crm->Browser())
        browser->GoBack();
}

void TMainForm::ImageForwordClick() {
    if (browser::TCefBrowser* browser = ui->crm->Browser())
        browser->GoForward();
}

// Loads what the box holds, typed or not; it is not the engine's reload.
void TMainForm::ImageProcessClick() {
    if (browser::TCefBrowser* browser = ui->crm->Browser())
        browser->GetMainFrame()->LoadUrl(AddressBoxUrl());
}

void TMainForm::ConnectBrowserEvents() {
    browser::TChromium& view = *ui->crm;
    view.OnAddressChange = [this](QObject*, browser::TCefBrowser*, browser::TCefFrame*,
                                  const QString& url) { crmAddressChange(url); };
    view.OnTitleChange = [this](QObject*, browser::TCefBrowser*, const QString& title) {
        crmTitleChange(title);
    };
    view.OnStatusMessage = [this](QObject*, browser::TCefBrowser*, const QString& value) {
        crmStatusMessage(value);
    };
    view.OnLoadStart = [this](QObject*, browser::TCefBrowser*, browser::TCefFrame*) {
        crmLoadStart();
    };
    view.OnLoadEnd = [this](QObject*, browser::TCefBrowser*, browser::TCefFrame*, int) {
        crmLoadEnd();
    };
    view.OnGotFocus = [](QObject*, browser::TCefBrowser*) {};
    view.OnRenderProcessTerminated = [this](QObject*, browser::TCefBrowser*, int status) {
        crashNotice_->ProcessEnded(status);
    };
}

void TMainForm::ConnectShellCommands() {
    policies_ = new TBrowserPolicies(*ui->crm, *ui->StatusBar, this);
    favorites_ = new TFavoritesMenu(ShellParts{*this, *ui->crm, *ui->ImageFavorite});
    ui->ImageFavorite->OnClick = [this](TImage*) { favorites_->ImageFavoriteClick(); };
    ui->ImageAbout->OnClick = [this](TImage*) { ImageAboutClick(); };
    devTools_ = new TDevToolsToggle(*ui->crm, *ui->DevTools, *ui->Splitter, *ui->StatusBar, this);
    AddKeys();
    crashNotice_ = new TPageCrashNotice(*ui->crm);
    closing_ = new TWindowClosing(*this, *ui->crm);
}

void TMainForm::AddKeys() {
    stopKey_ = AddBrowserShortcuts(*this, *ui->crm, *ui->edAddress, [this] { OpenFindBar(); });
}

// The find bar is made when it is first asked for: its clear button's
// picture comes from the icon theme, a search that would slow every start.
void TMainForm::OpenFindBar() {
    if (findBar_ == nullptr) {
        findBar_ = new TFindBar(*ui->crm, this);
        ui->MainLayout->insertWidget(ui->MainLayout->indexOf(ui->crm) + 1, findBar_);
    }
    findBar_->Open();
}

void TMainForm::ImageAboutClick() {
    OpenAboutBox(*this);
}

void TMainForm::crmAddressChange(const QString& url) {
    ShowPicture(ui->ImageFavorite, kFavoritePictures.normal);
    encodedAddress_ = url;
    shownAddress_ = ReadableAddress(url);
    ui->edAddress->setText(shownAddress_);
    ui->edAddress->setCursorPosition(0);
}

// Qt takes "[*]" in a window title for its modified marker and hides it;
// doubled, it shows as written.
void TMainForm::crmTitleChange(const QString& title) {
    setWindowTitle(QString(title).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void TMainForm::crmStatusMessage(const QString& value) {
    ui->StatusBar->showMessage(value);
}

void TMainForm::crmLoadStart() {
    FLoading = true;
    stopKey_->setEnabled(true);
    crashNotice_->PageLoadStarted();
    ShowLoadingPicture();
}

void TMainForm::crmLoadEnd() {
    FLoading = false;
    stopKey_->setEnabled(false);
    ShowPicture(ui->ImageProcess, kProcessPictures.normal);
    ShowHistoryState();
}

}  // namespace main_window
