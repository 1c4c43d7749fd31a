#include "link/commlogtext.h"
#include "ui/mainwindow.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "app/settingsstore.h"
#include "app/version.h"
#include "operation/movestate.h"
#include "operation/programgrid.h"
#include "position/conversions.h"
#include "position/positiongrid.h"
#include "text/stringtable.h"
#include "ui/artwork.h"
#include "ui/captionloader.h"
#include "ui/compactbutton.h"
#include "ui/elidinglabel.h"
#include "ui/lamp.h"
#include "ui/picturebox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The window's size at load: 11625 x 7575 twips, 15 twips to a pixel.
constexpr int WindowWidthTwips = 11625;
constexpr int WindowHeightTwips = 7575;
constexpr int TwipsPerPixel = 15;

// The toolbar: index, key, tool-tip ID; key "" is a separator.
struct ToolButtonDef
{
    int index;
    const char *key;
    int tipId;
};
constexpr ToolButtonDef ToolButtons[] = {
    {1, "New", 281},  {2, "Open", 282}, {3, "Save", 283}, {4, "", 0},     {5, "Print", 284},
    {6, "", 0},       {7, "Read", 285}, {8, "Load", 286}, {9, "Shogo", 287},
};
// The buttons that the command groups switch (the separators never).
constexpr int LockedToolButtons[] = {1, 2, 3, 5, 7, 8, 9};

// Selected-move buttons: caption IDs of their labels (home, positions 1 to 3).
constexpr int PositionLabelIds[4] = {50, 46, 47, 48};

template <typename T>
T *named(T *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QAction *addEntry(QMenu *menu, const char *name, int captionId)
{
    auto *action = named(menu->addAction(QString()), QLatin1String(name));
    SetCaptionId(action, captionId);
    return action;
}

// Entries whose captions stay fixed in both languages (the Edit and Window
// menus and the help search): they keep these design texts.
QAction *addFixedEntry(QMenu *menu, const char *name, const QString &caption)
{
    return named(menu->addAction(caption), QLatin1String(name));
}

QMenu *addMenu(QMenuBar *bar, const char *name, int captionId)
{
    auto *menu = named(bar->addMenu(QString()), QLatin1String(name));
    SetCaptionId(menu, captionId);
    return menu;
}

QMenu *addSubMenu(QMenu *parent, const char *name, int captionId)
{
    auto *menu = named(parent->addMenu(QString()), QLatin1String(name));
    SetCaptionId(menu, captionId);
    return menu;
}

QPushButton *makeButton(QWidget *parent, const char *name, int captionId, int tipId = 0)
{
    auto *b = named(new CompactButton(parent), QLatin1String(name));
    SetCaptionId(b, captionId);
    if (tipId)
        SetTipId(b, tipId);
    return b;
}

QLabel *makeLabel(QWidget *parent, const QString &name, int captionId, int tipId = 0)
{
    auto *l = named(new QLabel(parent), name);
    if (captionId)
        SetCaptionId(l, captionId);
    if (tipId)
        SetTipId(l, tipId);
    return l;
}

QGroupBox *makeFrame(QWidget *parent, const char *name, int captionId, int tipId = 0)
{
    auto *f = named(new QGroupBox(parent), QLatin1String(name));
    SetCaptionId(f, captionId);
    if (tipId)
        SetTipId(f, tipId);
    return f;
}

// A sunken box for values the program writes (model, alarm number, ...).
void styleValueLabel(QLabel *l)
{
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
    l->setMargin(2);
    l->setIndent(3);
}

void setMenuEnabled(QMenu *menu, bool on)
{
    menu->menuAction()->setEnabled(on);
}

// A frame's caption is bold while its area is the active one; its contents
// keep the normal font.
void setCaptionBold(QGroupBox *frame, bool bold)
{
    QFont f = frame->font();
    if (f.bold() == bold)
        return;
    f.setBold(bold);
    frame->setFont(f);
    for (QWidget *child : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QFont cf = child->font();
        cf.setBold(false);
        child->setFont(cf);
    }
}

} // namespace

MainWindow::MainWindow(AppState &state, SettingsStore &store, Prompter &prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_store(store)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmMain"));
    SetCaptionId(this, 1);
    setWindowTitle(QStringLiteral("KT-ED"));

    buildMenus();
    buildToolBar();
    buildStatusBar();

    auto *central = named(new QWidget(this), QStringLiteral("centralArea"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 4);
    outer->setSpacing(6);
    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(buildTopRow());
    top->addWidget(buildStatusFrame(), 1);
    outer->addLayout(top);

    auto *work = new QHBoxLayout;
    work->setSpacing(8);
    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildDataFrame(), 1);
    left->addWidget(buildAlarmFrame());
    work->addLayout(left, 11);
    work->addWidget(buildMoveFrame(), 8);
    outer->addLayout(work, 1);
    setCentralWidget(central);

    // The focus holder: a text box of one pixel that the program gives the
    // focus to whenever it wants it off the option buttons and grids.
    txtDummy = named(new QLineEdit(central), QStringLiteral("txtDummy"));
    txtDummy->setFrame(false);
    txtDummy->setGeometry(0, 0, 1, 1);
    txtDummy->setStyleSheet(QStringLiteral("background: transparent; color: transparent;"));
    // Out of the Tab chain: the focus would vanish into it once per round.
    // The program still gives it the focus where it parks the focus.
    txtDummy->setFocusPolicy(Qt::ClickFocus);
    txtDummy->lower();

    buildTimers();
    applyDesignState();
    resize(WindowWidthTwips / TwipsPerPixel, WindowHeightTwips / TwipsPerPixel);
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------------------
// Building the window

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    mnuFile = addMenu(bar, "mnuFile", 251);
    mnuFileNew = addEntry(mnuFile, "mnuFileNew", 252);
    mnuFileOpen = addEntry(mnuFile, "mnuFileOpen", 253);
    mnuFileGetfromCt = addEntry(mnuFile, "mnuFileGetfromCt", 254);
    mnuFile->addSeparator();
    mnuFileSave = addEntry(mnuFile, "mnuFileSave", 255);
    mnuFileSaveAs = addEntry(mnuFile, "mnuFileSaveAs", 256);
    mnuFileLoadtoCt = addEntry(mnuFile, "mnuFileLoadtoCt", 257);
    mnuFile->addSeparator();
    mnuFileShogo = addSubMenu(mnuFile, "mnuFileShogo", 258);
    mnuFileShogoFile = addEntry(mnuFileShogo, "mnuFileShogoFile", 259);
    mnuFileShogoCt = addEntry(mnuFileShogo, "mnuFileShogoCt", 260);
    mnuFile->addSeparator();
    mnuFilePageSetup = addEntry(mnuFile, "mnuFilePageSetup", 261);
    mnuFilePrint = addEntry(mnuFile, "mnuFilePrint", 262);
    mnuFile->addSeparator();
    mnuFileExit = addEntry(mnuFile, "mnuFileExit", 263);

    mnuEdit = named(bar->addMenu(QStringLiteral("編集(&E)")), QStringLiteral("mnuEdit"));
    mnuEditUndo = addFixedEntry(mnuEdit, "mnuEditUndo", QStringLiteral("元に戻す(&U)"));
    mnuEdit->addSeparator();
    mnuEditCut = addFixedEntry(mnuEdit, "mnuEditCut", QStringLiteral("切り取り(&T)"));
    mnuEditCopy = addFixedEntry(mnuEdit, "mnuEditCopy", QStringLiteral("コピー(&C)"));
    mnuEditPaste = addFixedEntry(mnuEdit, "mnuEditPaste", QStringLiteral("貼り付け(&P)"));

    mnuView = addMenu(bar, "mnuView", 264);
    mnuViewToolBar = addEntry(mnuView, "mnuViewToolBar", 265);
    mnuViewToolBar->setCheckable(true);
    mnuViewToolBar->setChecked(true);
    mnuViewStatusBar = addEntry(mnuView, "mnuViewStatusBar", 266);
    mnuViewStatusBar->setCheckable(true);
    mnuViewStatusBar->setChecked(true);
    mnuView->addSeparator();
    mnuShowState = addEntry(mnuView, "mnuShowState", 267);
    mnuShowParameta = addEntry(mnuView, "mnuShowParameta", 270);
    mnuShowCommLog = addEntry(mnuView, "mnuShowCommLog", CommLogText::MenuEntry);
    mnuView->addSeparator();
    mnuShowCtversion = addEntry(mnuView, "mnuShowCtversion", 272);
    mnuModeChange = addSubMenu(mnuView, "mnuModeChange", 273);
    mnuModeTrancefer = addEntry(mnuModeChange, "mnuModeTrancefer", 274);
    mnuModeGaibu = addEntry(mnuModeChange, "mnuModeGaibu", 275);
    mnuView->addSeparator();
    mnuViewOption = addEntry(mnuView, "mnuViewOption", 271);

    mnuWindow = named(bar->addMenu(QStringLiteral("ウィンドウ(&W)")), QStringLiteral("mnuWindow"));
    mnuWindowCascade = addFixedEntry(mnuWindow, "mnuWindowCascade", QStringLiteral("重ねて表示(&C)"));
    mnuWindowTitleHorizontal =
        addFixedEntry(mnuWindow, "mnuWindowTitleHorizontal", QStringLiteral("上下に並べて表示(&H)"));
    mnuWindowTitleVertical =
        addFixedEntry(mnuWindow, "mnuWindowTitleVertical", QStringLiteral("左右に並べて表示(&V)"));

    mnuHelp = addMenu(bar, "mnuHelp", 276);
    mnuHelpContents = addEntry(mnuHelp, "mnuHelpContents", 277);
    // Like the Edit and Window menus, a fixed Japanese caption in both languages.
    mnuHelpSearch = addFixedEntry(mnuHelp, "mnuHelpSearch", QStringLiteral("ヘルプの検索(&S)..."));
    mnuHelp->addSeparator();
    mnuHelpAbout = addEntry(mnuHelp, "mnuHelpAbout", 278);

    connect(mnuViewToolBar, &QAction::triggered, this, &MainWindow::mnuViewToolBar_Click);
    connect(mnuViewStatusBar, &QAction::triggered, this, &MainWindow::mnuViewStatusBar_Click);
    connect(mnuFileExit, &QAction::triggered, this, &MainWindow::mnuFileExit_Click);
}

void MainWindow::buildToolBar()
{
    tbToolBar = named(new QToolBar(this), QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbToolBar->toggleViewAction()->setVisible(false);
    tbToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, tbToolBar);

    for (const ToolButtonDef &def : ToolButtons) {
        QAction *a = nullptr;
        if (def.tipId == 0) {
            a = tbToolBar->addSeparator();
        } else {
            a = tbToolBar->addAction(Artwork::ToolbarIcon(QLatin1String(def.key)), QString());
            a->setProperty("key", QLatin1String(def.key));
            SetTipId(a, def.tipId);
        }
        a->setObjectName(indexed("tbToolBar", def.index));
        tbButton[def.index] = a;
    }
    connect(tbToolBar, &QToolBar::actionTriggered, this, &MainWindow::tbToolBar_ButtonClick);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(false);
    // The panels are as tall as a line of either language needs, Japanese
    // glyphs come from a taller fallback font, so that the bar does not
    // take the height of an empty panel.
    QLabel sample(QStringLiteral("1パルス= 0.005mm"));
    sample.setFont(bar->font());
    const int panelHeight = sample.sizeHint().height();
    for (int i = 1; i <= 3; ++i) {
        sbPanel[i] = named(new QLabel(bar), QStringLiteral("sbPanel%1").arg(i));
        sbPanel[i]->setContentsMargins(6, 0, 6, 0);
        sbPanel[i]->setMinimumHeight(panelHeight);
    }
    bar->addWidget(sbPanel[1], 1);
    bar->addPermanentWidget(sbPanel[2]);
    bar->addPermanentWidget(sbPanel[3]);
}

QWidget *MainWindow::buildTopRow()
{
    auto *column = named(new QWidget, QStringLiteral("modeRow"));
    auto *v = new QVBoxLayout(column);
    v->setContentsMargins(0, 6, 0, 0);
    v->setSpacing(0);

    auto *group = new QButtonGroup(column);
    // Index 0 is Move mode and 1 Edit mode; the selector lists the editing
    // mode first, as the editing area is the left one.
    for (int i : {1, 0}) {
        optModeSelect[i] = named(new QRadioButton(column), indexed("optModeSelect", i));
        SetCaptionId(optModeSelect[i], i == 0 ? 2 : 3);
        optModeSelect[i]->installEventFilter(this);
        group->addButton(optModeSelect[i], i);
        v->addWidget(optModeSelect[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, &MainWindow::optModeSelect_Click);
    v->addStretch(1);

    pictureTavLogo = named(new PictureBox(QSize(92, 26),
                                          [](QPainter &p, const QRectF &r) {
                                              Artwork::PaintLogo(p, r, LoadText(479));
                                          },
                                          column),
                           QStringLiteral("pictureTavLogo"));
    SetNameId(pictureTavLogo, 479);
    v->addWidget(pictureTavLogo, 0, Qt::AlignHCenter);
    return column;
}

QWidget *MainWindow::buildStatusFrame()
{
    frmTrancefer = makeFrame(nullptr, "frmTrancefer", 20);
    auto *h = new QHBoxLayout(frmTrancefer);
    h->setContentsMargins(8, 4, 8, 6);
    h->setSpacing(8);

    auto lampFrame = [&](QGroupBox *&frame, Lamp *&lamp, const char *frameName,
                         const char *lampName, int captionId, int tipId) {
        frame = makeFrame(frmTrancefer, frameName, captionId, tipId);
        // A lamp under its caption, without a box of its own inside the frame.
        frame->setStyleSheet(QStringLiteral(
            "QGroupBox { border: none; margin: 0px; padding-top: 1.3em; }"
            "QGroupBox::title { subcontrol-origin: padding; subcontrol-position: top center; }"));
        auto *v = new QHBoxLayout(frame);
        v->setContentsMargins(6, 0, 6, 2);
        lamp = named(new Lamp(Lamp::Colour::Green, frame), QLatin1String(lampName));
        SetNameId(lamp, captionId);
        SetTipId(lamp, tipId);
        v->addStretch(1);
        v->addWidget(lamp);
        v->addStretch(1);
        h->addWidget(frame);
    };
    lampFrame(framPort, imgPortGreen, "framPort", "imgPortGreen", 25, 320);
    lampFrame(framHome, imgHomeGreen, "framHome", "imgHomeGreen", 24, 340);
    h->addSpacing(6);

    auto *device = new QGridLayout;
    device->setHorizontalSpacing(6);
    device->setVerticalSpacing(3);
    lblShowDev = makeLabel(frmTrancefer, QStringLiteral("lblShowDev"), 21);
    pictureSelectType = named(new PictureBox(QSize(40, 20), &Artwork::PaintActuator, frmTrancefer),
                              QStringLiteral("pictureSelectType"));
    SetNameId(pictureSelectType, 133);
    lblDeviceType = named(new QLabel(frmTrancefer), QStringLiteral("lblDeviceType"));
    styleValueLabel(lblDeviceType);
    lblDeviceType->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("KT-E35L-600_ ")) + 10);
    lblNewType = makeLabel(frmTrancefer, QStringLiteral("lblNewType"), 220);
    lblOldType = makeLabel(frmTrancefer, QStringLiteral("lblOldType"), 221);
    for (QLabel *l : {lblNewType, lblOldType})
        l->setStyleSheet(QStringLiteral("color: #b05a00; font-weight: bold;"));
    cmdChangeDev = makeButton(frmTrancefer, "cmdChangeDev", 22);
    lblFilelabel = makeLabel(frmTrancefer, QStringLiteral("lblFilelabel"), 23);
    lblFileName = named(new ElidingLabel(frmTrancefer), QStringLiteral("lblFileName"));
    SetCaptionId(lblFileName, 483);
    styleValueLabel(lblFileName);

    auto *typeRow = new QHBoxLayout;
    typeRow->setSpacing(6);
    typeRow->addWidget(pictureSelectType);
    typeRow->addWidget(lblDeviceType);
    typeRow->addWidget(lblNewType);
    typeRow->addWidget(lblOldType);
    typeRow->addStretch(1);
    typeRow->addWidget(cmdChangeDev);
    device->addWidget(lblShowDev, 0, 0);
    device->addLayout(typeRow, 0, 1);
    device->addWidget(lblFilelabel, 1, 0);
    device->addWidget(lblFileName, 1, 1);
    device->setColumnStretch(1, 1);
    h->addLayout(device, 1);
    return frmTrancefer;
}

QWidget *MainWindow::buildDataFrame()
{
    frmDataEdit = makeFrame(nullptr, "frmDataEdit", 3);
    auto *v = new QVBoxLayout(frmDataEdit);
    v->setContentsMargins(8, 6, 8, 8);
    v->setSpacing(6);

    flgdData = named(new PositionGrid(frmDataEdit), QStringLiteral("flgdData"));
    SetNameId(flgdData, 486);
    flgdData->setMinimumHeight(4 * (fontMetrics().height() + 8) + 4);
    v->addWidget(flgdData, 1);

    cmdFileOpen = makeButton(frmDataEdit, "cmdFileOpen", 5, 293);
    cmdSaveFile = makeButton(frmDataEdit, "cmdSaveFile", 6, 294);
    cmdGetfromCt = makeButton(frmDataEdit, "cmdGetfromCt", 7, 295);
    cmdLoadtoCt = makeButton(frmDataEdit, "cmdLoadtoCt", 8, 296);
    cmdPosiDataShogo = makeButton(frmDataEdit, "cmdPosiDataShogo", 9, 297);
    const std::pair<QPushButton *, const char *> icons[] = {
        {cmdFileOpen, "Open"}, {cmdSaveFile, "Save"}, {cmdGetfromCt, "Read"},
        {cmdLoadtoCt, "Load"}, {cmdPosiDataShogo, "Shogo"}};
    for (const auto &[button, key] : icons)
        button->setIcon(Artwork::ToolbarIcon(QLatin1String(key)));

    auto *fileRow = new QHBoxLayout;
    fileRow->setSpacing(6);
    fileRow->addWidget(cmdFileOpen);
    fileRow->addWidget(cmdSaveFile);
    fileRow->addStretch(1);
    auto *rounding = new QButtonGroup(frmDataEdit);
    for (int i = 0; i < 2; ++i) {
        optSutiSyori[i] = named(new QRadioButton(frmDataEdit), indexed("optSutiSyori", i));
        SetCaptionId(optSutiSyori[i], i == 0 ? 10 : 11);
        SetTipId(optSutiSyori[i], i == 0 ? 291 : 292);
        rounding->addButton(optSutiSyori[i], i);
        fileRow->addWidget(optSutiSyori[i]);
    }
    v->addLayout(fileRow);

    auto *ctRow = new QHBoxLayout;
    ctRow->setSpacing(6);
    ctRow->addWidget(cmdGetfromCt);
    ctRow->addWidget(cmdLoadtoCt);
    ctRow->addWidget(cmdPosiDataShogo);
    ctRow->addStretch(1);
    v->addLayout(ctRow);
    return frmDataEdit;
}

QWidget *MainWindow::buildAlarmFrame()
{
    framAlarm = makeFrame(nullptr, "framAlarm", 26);
    auto *h = new QHBoxLayout(framAlarm);
    h->setContentsMargins(8, 4, 8, 6);
    h->setSpacing(6);
    imgAlarmLed = named(new Lamp(Lamp::Colour::Red, framAlarm), QStringLiteral("imgAlarmLed"));
    SetNameId(imgAlarmLed, 26);
    Label1 = makeLabel(framAlarm, QStringLiteral("Label1"), 27);
    lblAlarmNo = named(new QLabel(framAlarm), QStringLiteral("lblAlarmNo"));
    styleValueLabel(lblAlarmNo);
    lblAlarmNo->setAlignment(Qt::AlignCenter);
    lblAlarmNo->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    lblErrorComment = makeLabel(framAlarm, QStringLiteral("lblErrorComment"), 29);
    styleValueLabel(lblErrorComment);
    lblErrorComment->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblErrorComment->setMinimumWidth(120);
    cmdReset = makeButton(framAlarm, "cmdReset", 28);
    h->addWidget(imgAlarmLed);
    h->addWidget(Label1);
    h->addWidget(lblAlarmNo);
    h->addWidget(lblErrorComment, 1);
    h->addWidget(cmdReset);
    return framAlarm;
}

QWidget *MainWindow::buildMoveFrame()
{
    frmMoveRepeat = makeFrame(nullptr, "frmMoveRepeat", 2);
    auto *v = new QVBoxLayout(frmMoveRepeat);
    v->setContentsMargins(8, 6, 8, 8);
    v->setSpacing(6);

    auto *choose = new QHBoxLayout;
    auto *group = new QButtonGroup(frmMoveRepeat);
    for (int i = 0; i < 2; ++i) {
        optSelectMove[i] = named(new QRadioButton(frmMoveRepeat), indexed("optSelectMove", i));
        SetCaptionId(optSelectMove[i], i == 0 ? 31 : 32);
        group->addButton(optSelectMove[i], i);
        choose->addWidget(optSelectMove[i]);
    }
    choose->addStretch(1);
    connect(group, &QButtonGroup::idClicked, this, &MainWindow::optSelectMove_Click);
    v->addLayout(choose);

    // The two panels share one place; the option buttons above choose which
    // one is shown, so the tab bar itself stays hidden.
    SSTab1 = named(new QTabWidget(frmMoveRepeat), QStringLiteral("SSTab1"));
    SSTab1->tabBar()->hide();
    SSTab1->setDocumentMode(true);
    SSTab1->addTab(buildContinualPanel(), QString());
    SSTab1->addTab(buildSelectivePanel(), QString());
    v->addWidget(SSTab1, 1);

    auto *result = new QHBoxLayout;
    result->setSpacing(6);
    lblKanryoiti = makeLabel(frmMoveRepeat, QStringLiteral("lblKanryoiti"), 33);
    lblkanryoNo = named(new QLabel(frmMoveRepeat), QStringLiteral("lblkanryoNo"));
    styleValueLabel(lblkanryoNo);
    lblkanryoNo->setAlignment(Qt::AlignCenter);
    lblkanryoNo->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")) + 10);
    SetNameId(lblkanryoNo, 33);
    result->addWidget(lblKanryoiti);
    result->addWidget(lblkanryoNo);
    result->addStretch(1);

    framOut = named(new QFrame(frmMoveRepeat), QStringLiteral("framOut"));
    SetCaptionId(framOut, 34);
    framOut->setStyleSheet(QStringLiteral("QFrame#framOut { border: 1px solid palette(mid); border-radius: 3px; }"));
    auto *out = new QHBoxLayout(framOut);
    out->setContentsMargins(8, 3, 8, 3);
    out->setSpacing(5);
    lblOutput12 = makeLabel(framOut, QStringLiteral("lblOutput12"), 34);
    QFont bold = lblOutput12->font();
    bold.setBold(true);
    lblOutput12->setFont(bold);
    // The output labels have no IDs of their own; their design texts are
    // the output names of the I/O monitor.
    lblOutLamp1 = named(new QLabel(LoadText(174), framOut), QStringLiteral("lblOutLamp1"));
    lblOutLamp2 = named(new QLabel(LoadText(175), framOut), QStringLiteral("lblOutLamp2"));
    imgOut1Green = named(new Lamp(Lamp::Colour::Green, framOut), QStringLiteral("imgOut1Green"));
    imgOut2Green = named(new Lamp(Lamp::Colour::Green, framOut), QStringLiteral("imgOut2Green"));
    SetNameId(imgOut1Green, 174);
    SetNameId(imgOut2Green, 175);
    out->addWidget(lblOutput12);
    out->addSpacing(4);
    out->addWidget(lblOutLamp1);
    out->addWidget(imgOut1Green);
    out->addSpacing(4);
    out->addWidget(lblOutLamp2);
    out->addWidget(imgOut2Green);
    result->addWidget(framOut);
    v->addLayout(result);
    return frmMoveRepeat;
}

QWidget *MainWindow::buildContinualPanel()
{
    pictRenzoku = named(new QWidget, QStringLiteral("pictRenzoku"));
    auto *h = new QHBoxLayout(pictRenzoku);
    h->setContentsMargins(0, 2, 0, 0);
    h->setSpacing(8);

    flgdProgram = named(new ProgramGrid(pictRenzoku), QStringLiteral("flgdProgram"));
    SetNameId(flgdProgram, 31);
    const int stepWidth = fontMetrics().horizontalAdvance(QStringLiteral("00")) + 14;
    const int posWidth = qMax(fontMetrics().horizontalAdvance(LoadText(45)) + 14,
                              fontMetrics().horizontalAdvance(QStringLiteral("Position")) + 14);
    flgdProgram->setColumnWidth(0, stepWidth);
    flgdProgram->setColumnWidth(1, posWidth);
    flgdProgram->setFixedWidth(stepWidth + posWidth + 2 * flgdProgram->frameWidth() + 4);
    h->addWidget(flgdProgram);

    txtEdit2 = flgdProgram->txtEdit2();

    auto *controls = new QVBoxLayout;
    controls->setSpacing(5);
    auto *moveRow = new QHBoxLayout;
    moveRow->setSpacing(4);
    cmdMove = makeButton(pictRenzoku, "cmdMove", 35);
    cmdTmpStop = makeButton(pictRenzoku, "cmdTmpStop", 38);
    cmdStop = makeButton(pictRenzoku, "cmdStop", 39);
    for (QPushButton *b : {cmdMove, cmdTmpStop, cmdStop})
        moveRow->addWidget(b);
    controls->addLayout(moveRow);

    pictureSelectMode = named(new QWidget(pictRenzoku), QStringLiteral("pictureSelectMode"));
    SetNameId(pictureSelectMode, 31);
    auto *modeRow = new QHBoxLayout(pictureSelectMode);
    modeRow->setContentsMargins(0, 0, 0, 0);
    auto *modes = new QButtonGroup(pictureSelectMode);
    for (int i = 0; i < 2; ++i) {
        optSelectMode[i] = named(new QRadioButton(pictureSelectMode), indexed("optSelectMode", i));
        SetCaptionId(optSelectMode[i], i == 0 ? 36 : 37);
        modes->addButton(optSelectMode[i], i);
        modeRow->addWidget(optSelectMode[i]);
    }
    modeRow->addStretch(1);
    controls->addWidget(pictureSelectMode);

    frmTimer = named(new QFrame(pictRenzoku), QStringLiteral("frmTimer"));
    frmTimer->setStyleSheet(QStringLiteral("QFrame#frmTimer { border: 1px solid palette(mid); border-radius: 3px; }"));
    auto *timer = new QGridLayout(frmTimer);
    timer->setContentsMargins(6, 4, 6, 4);
    timer->setVerticalSpacing(3);
    chkTimerUse = named(new QCheckBox(frmTimer), QStringLiteral("chkTimerUse"));
    SetCaptionId(chkTimerUse, 40);
    lblTimer = makeLabel(frmTimer, QStringLiteral("lblTimer"), 41, 289);
    txtTimer = named(new QLineEdit(frmTimer), QStringLiteral("txtTimer"));
    SetTipId(txtTimer, 290);
    txtTimer->setMaxLength(3);
    txtTimer->setAlignment(Qt::AlignRight);
    txtTimer->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    lblTimer->setBuddy(txtTimer);
    timer->addWidget(chkTimerUse, 0, 0, 1, 2);
    timer->addWidget(lblTimer, 1, 0);
    timer->addWidget(txtTimer, 1, 1, Qt::AlignLeft);
    timer->setColumnStretch(0, 1);
    controls->addWidget(frmTimer);
    connect(chkTimerUse, &QCheckBox::toggled, this, [this](bool on) {
        // The wait time only counts with the timer switched on.
        if (frmTimer->isEnabled()) {
            lblTimer->setEnabled(on);
            txtTimer->setEnabled(on);
        }
    });

    chkRepeat = named(new QCheckBox(pictRenzoku), QStringLiteral("chkRepeat"));
    SetCaptionId(chkRepeat, 42);
    controls->addWidget(chkRepeat);

    auto *programRow = new QHBoxLayout;
    programRow->setSpacing(4);
    cmdDataClear = makeButton(pictRenzoku, "cmdDataClear", 44);
    cmdInp1toF = makeButton(pictRenzoku, "cmdInp1toF", 43);
    programRow->addWidget(cmdDataClear);
    programRow->addWidget(cmdInp1toF);
    controls->addLayout(programRow);
    controls->addStretch(1);
    h->addLayout(controls, 1);
    return pictRenzoku;
}

QWidget *MainWindow::buildSelectivePanel()
{
    pictSentaku = named(new QWidget, QStringLiteral("pictSentaku"));
    auto *v = new QVBoxLayout(pictSentaku);
    v->setContentsMargins(0, 2, 0, 0);
    v->setSpacing(6);
    lblSelectPos = makeLabel(pictSentaku, QStringLiteral("lblSelectPos"), 585);
    lblSelectPos->setWordWrap(true);
    v->addWidget(lblSelectPos);

    pictureSelectMove = named(new QWidget(pictSentaku), QStringLiteral("pictureSelectMove"));
    SetNameId(pictureSelectMove, 32);
    auto *grid = new QGridLayout(pictureSelectMove);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 4; ++i) {
        imgButton[i] = named(new PositionButton(i, pictureSelectMove), indexed("imgButton", i));
        SetNameId(imgButton[i], PositionLabelIds[i]);
        lblSelectPosNo[i] = makeLabel(pictureSelectMove, indexed("lblSelectPosNo", i),
                                      PositionLabelIds[i]);
        lblSelectPosNo[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        lblSelectPosNo[i]->setBuddy(imgButton[i]);
        // Home and position 1 on the first row, positions 2 and 3 below;
        // columns 0 and 3 are stretchable margins that centre the block.
        const int row = (i / 2) * 3;
        const int col = 1 + i % 2;
        grid->addWidget(imgButton[i], row, col, Qt::AlignHCenter);
        grid->addWidget(lblSelectPosNo[i], row + 1, col);
    }
    grid->setRowMinimumHeight(2, 10);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);
    v->addWidget(pictureSelectMove);
    v->addStretch(1);
    return pictSentaku;
}

void MainWindow::buildTimers()
{
    auto timer = [this](const char *name, int interval, bool singleShot) {
        auto *t = named(new QTimer(this), QLatin1String(name));
        t->setInterval(interval);
        t->setSingleShot(singleShot);
        return t;
    };
    timerSetFocusDummy = timer("timerSetFocusDummy", 10, true);
    connect(timerSetFocusDummy, &QTimer::timeout, this, [this] {
        timerSetFocusDummy->stop();
        txtDummy->setFocus(Qt::OtherFocusReason);
    });
}

// The state the window has before the mode selector is first used: the
// editing area is the active one.
void MainWindow::applyDesignState()
{
    optModeSelect[1]->setChecked(true);
    paintModeSelector(1);
    optSelectMove[0]->setChecked(true);
    SSTab1->setCurrentIndex(0);
    optSelectMode[0]->setChecked(true);
    optSutiSyori[1]->setChecked(true);
    lblNewType->hide();
    lblOldType->hide();
    ShowAllPositionButtons(PositionButton::Picture::Greyed);

    frmMoveRepeat->setEnabled(false);
    setCaptionBold(frmMoveRepeat, false);
    lblTimer->setEnabled(false);
    txtTimer->setEnabled(false);
    setCaptionBold(frmDataEdit, true);
}

// ---------------------------------------------------------------------------
// Load step

QString MainWindow::TitleText() const
{
    return LoadText(479) + QStringLiteral(" Ver") + VersionNumberText();
}

void MainWindow::Form_Load()
{
    // 1. The serial port number.
    m_state.gPortNo = static_cast<int16_t>(m_store.readInt(SettingsKey::PortNo, 1));
    // 2. No model yet: the start-up establishes it after the load.
    m_state.gDevSize = QStringLiteral("0");
    m_state.gDevSpeed.clear();
    m_state.gDevStroke = 0;
    // 3. The controller's error list.
    if (m_hooks.readErrorList)
        m_hooks.readErrorList();
    // 4. Every caption from the string table.
    SetFormCaption(this);
    // 5. The window size.
    resize(WindowWidthTwips / TwipsPerPixel, WindowHeightTwips / TwipsPerPixel);
    // 6. Both grids; the in-grid edit boxes empty.
    if (m_hooks.initPositionGrid) {
        m_hooks.initPositionGrid();
    } else {
        flgdData->SizeInit_flgdData();
        flgdData->Init_flgdData(true);
    }
    if (flgdData->txtEdit())
        flgdData->txtEdit()->clear();
    flgdProgram->Init_flgdProgram();
    // 7. The name of the new, unsaved data set.
    SetDocName(m_state.gLanguage == 1 ? QStringLiteral("新規作成") : QStringLiteral("New Data"));
    // 8. The rounding choice starts from the setting.
    if (m_state.gMmRoundUp)
        optSutiSyori[0]->setChecked(true);
    // 9. The window caption with the version.
    setWindowTitle(TitleText());

}

// ---------------------------------------------------------------------------
// Model display

void MainWindow::Disp_DevType()
{
    lblDeviceType->setText(m_state.gDevFamily + u'-' + m_state.gDevSize + m_state.gDevSpeed + u'-'
                           + QString::number(m_state.gDevStroke));
}

void MainWindow::ShowPulseScale()
{
    const PulseScaleTexts texts = ::ShowPulseScale(m_state);
    sbPanel[2]->setText(texts.perMm);
    sbPanel[3]->setText(texts.perPulse);
}

void MainWindow::ShowOldTypeLabel(bool visible)
{
    lblOldType->setVisible(visible);
}

void MainWindow::ShowFamilyPicture(bool visible)
{
    pictureSelectType->setVisible(visible);
}

void MainWindow::ShowCtModelType(int typeNo)
{
    switch (typeNo) {
    case 0:
        ShowFamilyPicture(true);
        ShowOldTypeLabel(false);
        break;
    case 1:
        ShowFamilyPicture(true);
        ShowOldTypeLabel(true);
        break;
    default:
        ShowFamilyPicture(false);
        break;
    }
}

void MainWindow::SetDocName(const QString &name)
{
    lblFileName->setText(name);
}

// ---------------------------------------------------------------------------
// Waits and focus

void MainWindow::StartFocusDummy()
{
    txtDummy->clear();
    timerSetFocusDummy->start();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Pressing the mouse on a mode button moves the focus to the focus
    // holder, so that the arrow keys cannot switch the mode by accident.
    if (event->type() == QEvent::MouseButtonPress
        && (watched == optModeSelect[0] || watched == optModeSelect[1])) {
        txtDummy->setFocus(Qt::MouseFocusReason);
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Command groups

void MainWindow::CMDBTN_Muko()
{
    for (QPushButton *b : {cmdFileOpen, cmdSaveFile, cmdLoadtoCt, cmdGetfromCt, cmdPosiDataShogo, cmdReset})
        b->setEnabled(false);
}

void MainWindow::CMDBTN_Yuko()
{
    for (QPushButton *b : {cmdFileOpen, cmdSaveFile, cmdLoadtoCt, cmdGetfromCt, cmdPosiDataShogo, cmdReset})
        b->setEnabled(true);
    txtDummy->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ToolBar_Muko()
{
    for (int i : LockedToolButtons)
        tbButton[i]->setEnabled(false);
}

void MainWindow::ToolBar_Yuko()
{
    for (int i : LockedToolButtons)
        tbButton[i]->setEnabled(true);
}

void MainWindow::Menyu_Muko()
{
    for (QAction *a : {mnuFileNew, mnuFileOpen, mnuFileGetfromCt, mnuFileSave, mnuFileSaveAs,
                       mnuFileLoadtoCt, mnuFilePageSetup, mnuFilePrint, mnuShowCtversion})
        a->setEnabled(false);
    setMenuEnabled(mnuFileShogo, false);
    setMenuEnabled(mnuModeChange, false);
    setMenuEnabled(mnuView, false);
}

void MainWindow::Menyu_Yuko()
{
    for (QAction *a : {mnuFileNew, mnuFileOpen, mnuFileGetfromCt, mnuFileSave, mnuFileSaveAs,
                       mnuFileLoadtoCt, mnuFilePageSetup, mnuFilePrint, mnuShowCtversion})
        a->setEnabled(true);
    setMenuEnabled(mnuFileShogo, true);
    setMenuEnabled(mnuModeChange, true);
    setMenuEnabled(mnuView, true);
}

void MainWindow::CTModeChange_Muko()
{
    setMenuEnabled(mnuModeChange, false);
}

void MainWindow::CTModeChange_Yuko()
{
    setMenuEnabled(mnuModeChange, true);
}

void MainWindow::AllMenu_Muko()
{
    for (QMenu *m : {mnuFile, mnuView, mnuHelp})
        setMenuEnabled(m, false);
}

void MainWindow::AllMenu_Yuko()
{
    for (QMenu *m : {mnuFile, mnuView, mnuHelp})
        setMenuEnabled(m, true);
}

// ---------------------------------------------------------------------------
// Modes

void MainWindow::paintModeSelector(int selected)
{
    // The two mode buttons form one block, the editing mode on top. The
    // selected mode is white, the other has the button face.
    for (int i = 0; i < 2; ++i) {
        const bool on = i == selected;
        const QString corners = i == 1
            ? QStringLiteral("border-top-left-radius: 4px; border-top-right-radius: 4px;")
            : QStringLiteral("border-top: none; border-bottom-left-radius: 4px;"
                             " border-bottom-right-radius: 4px;");
        optModeSelect[i]->setStyleSheet(
            QStringLiteral("QRadioButton { background: %1; border: 1px solid palette(mid);"
                           " padding: 5px 12px 5px 8px; %2 %3 }")
                .arg(on ? QStringLiteral("#ffffff") : QStringLiteral("palette(button)"),
                     on ? QStringLiteral("font-weight: bold;") : QString(), corners));
    }
}

void MainWindow::optModeSelect_Click(int index)
{
    paintModeSelector(index);
    if (index == 0)
        SetMoveMode();
    else
        SetEditMode();
    txtDummy->setFocus(Qt::OtherFocusReason);
}

void MainWindow::optSelectMove_Click(int index)
{
    SSTab1->setCurrentIndex(index == 0 ? 0 : 1);
}

void MainWindow::ShowAllPositionButtons(PositionButton::Picture picture)
{
    for (PositionButton *b : imgButton)
        b->setPicture(picture);
}

void MainWindow::SetEditMode()
{
    frmMoveRepeat->setEnabled(false);
    setCaptionBold(frmMoveRepeat, false);
    for (QWidget *w : std::initializer_list<QWidget *>{frmTimer, chkRepeat, chkTimerUse, lblTimer, txtTimer})
        w->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{flgdProgram, SSTab1, cmdMove, cmdStop, cmdTmpStop,
                                                       cmdDataClear, cmdInp1toF})
        w->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{lblSelectPos, optSelectMove[0], optSelectMove[1],
                                                       optSelectMode[0], optSelectMode[1]})
        w->setEnabled(false);
    for (int i = 0; i < 4; ++i) {
        imgButton[i]->setEnabled(false);
        lblSelectPosNo[i]->setEnabled(false);
    }
    ShowAllPositionButtons(PositionButton::Picture::Greyed);
    for (QWidget *w : std::initializer_list<QWidget *>{framOut, lblOutLamp1, lblOutLamp2, imgOut1Green,
                                                       imgOut2Green})
        w->setEnabled(false);
    imgOut1Green->setLit(false);
    imgOut2Green->setLit(false);

    frmDataEdit->setEnabled(true);
    setCaptionBold(frmDataEdit, true);
    for (QPushButton *b : {cmdFileOpen, cmdSaveFile, cmdLoadtoCt, cmdGetfromCt, cmdPosiDataShogo})
        b->setEnabled(true);
    flgdData->setEnabled(true);
    ToolBar_Yuko();
    for (QAction *a : {mnuFileNew, mnuFileOpen, mnuFileGetfromCt, mnuFileSave, mnuFileSaveAs,
                       mnuFileLoadtoCt, mnuFilePageSetup, mnuFilePrint, mnuShowState, mnuShowParameta,
                       mnuShowCtversion})
        a->setEnabled(true);
    setMenuEnabled(mnuFileShogo, true);
    setMenuEnabled(mnuModeChange, true);
    cmdChangeDev->setEnabled(true);
}

void MainWindow::SetMoveMode()
{
    frmMoveRepeat->setEnabled(true);
    setCaptionBold(frmMoveRepeat, true);
    for (QWidget *w : std::initializer_list<QWidget *>{frmTimer, chkRepeat, chkTimerUse})
        w->setEnabled(true);
    if (chkTimerUse->isChecked()) {
        lblTimer->setEnabled(true);
        txtTimer->setEnabled(true);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{flgdProgram, SSTab1, cmdMove, cmdStop, cmdTmpStop,
                                                       cmdDataClear, cmdInp1toF})
        w->setEnabled(true);
    for (QWidget *w : std::initializer_list<QWidget *>{lblSelectPos, optSelectMove[0], optSelectMove[1],
                                                       optSelectMode[0], optSelectMode[1]})
        w->setEnabled(true);
    for (int i = 0; i < 4; ++i) {
        imgButton[i]->setEnabled(true);
        lblSelectPosNo[i]->setEnabled(true);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{framOut, lblOutLamp1, lblOutLamp2, imgOut1Green,
                                                       imgOut2Green})
        w->setEnabled(true);

    ToolBar_Muko();
    for (QAction *a : {mnuFileNew, mnuFileOpen, mnuFileGetfromCt, mnuFileSave, mnuFileSaveAs,
                       mnuFileLoadtoCt, mnuFilePageSetup, mnuFilePrint, mnuShowState, mnuShowParameta,
                       mnuShowCtversion})
        a->setEnabled(false);
    setMenuEnabled(mnuFileShogo, false);
    setMenuEnabled(mnuModeChange, false);
    frmDataEdit->setEnabled(false);
    setCaptionBold(frmDataEdit, false);
    flgdData->setEnabled(false);
    for (QPushButton *b : {cmdFileOpen, cmdSaveFile, cmdLoadtoCt, cmdGetfromCt, cmdPosiDataShogo, cmdChangeDev})
        b->setEnabled(false);

    // The last position reached keeps its mark, and the output lamps show
    // what the controller reported there (dark when nothing was reported).
    const int lastPos = m_moveState ? m_moveState->gLastPos : -1;
    if (lastPos >= 0 && lastPos <= 3) {
        for (int i = 0; i < 4; ++i)
            imgButton[i]->setPicture(i == lastPos ? PositionButton::Picture::Current
                                                  : PositionButton::Picture::Normal);
        const int outputs = m_moveState->lastOutputs;
        imgOut1Green->setLit(outputs >= 0 && (outputs & 1));
        imgOut2Green->setLit(outputs >= 0 && (outputs & 2));
    }
}

// ---------------------------------------------------------------------------
// Toolbar and status bar

void MainWindow::tbToolBar_ButtonClick(QAction *button)
{
    const QString key = button->property("key").toString();
    if (key == QLatin1String("New"))
        mnuFileNew->trigger();
    else if (key == QLatin1String("Open"))
        cmdFileOpen->click();
    else if (key == QLatin1String("Save"))
        mnuFileSave->trigger();
    else if (key == QLatin1String("Print"))
        mnuFilePrint->trigger();
    else if (key == QLatin1String("Read"))
        cmdGetfromCt->click();
    else if (key == QLatin1String("Load"))
        cmdLoadtoCt->click();
    else if (key == QLatin1String("Shogo"))
        cmdPosiDataShogo->click();
}

void MainWindow::mnuViewToolBar_Click()
{
    // The entry has already flipped its check mark: unchecked now means the
    // toolbar was shown and is to be hidden. The window shrinks or grows by
    // the toolbar's height, so that the work areas keep their size.
    if (!mnuViewToolBar->isChecked()) {
        const int h = tbToolBar->height();
        tbToolBar->hide();
        layout()->activate();  // the smaller minimum size first
        resize(width(), height() - h);
    } else {
        // The target first: showing the toolbar may already grow the window
        // up to its new minimum size.
        const int target = height() + tbToolBar->sizeHint().height();
        tbToolBar->show();
        layout()->activate();
        resize(width(), target);
    }
}

void MainWindow::mnuViewStatusBar_Click()
{
    if (!mnuViewStatusBar->isChecked()) {
        const int h = statusBar()->height();
        statusBar()->hide();
        layout()->activate();
        resize(width(), height() - h);
    } else {
        const int target = height() + statusBar()->sizeHint().height();
        statusBar()->show();
        layout()->activate();
        resize(width(), target);
    }
}

// ---------------------------------------------------------------------------
// Closing

void MainWindow::mnuFileExit_Click()
{
    m_closingByProgram = true;
    close();
    m_closingByProgram = false;
}

bool MainWindow::QueryClose(bool byUser)
{
    if (m_hooks.closeRequest)
        return m_hooks.closeRequest(byUser, gBusy);

    // A running operation with the controller cannot be cut off by the
    // close box; the program's own exit command is not refused here.
    if (gBusy && byUser)
        return false;
    const QString question = m_state.gLanguage == 1
                                 ? LoadText(479) + LoadText(480)
                                 : LoadText(480) + LoadText(479) + u'.';
    if (m_prompter.ask(question, Prompter::Buttons::OkCancel, Prompter::Icon::Question)
        != Prompter::Answer::Ok)
        return false;
    if (m_hooks.isPortOpen && m_hooks.closePort && m_hooks.isPortOpen())
        m_hooks.closePort();
    return true;
}

void MainWindow::Form_Unload()
{
    m_store.writeInt(SettingsKey::PortNo, m_state.gPortNo);
    // A language chosen in the Options dialog takes effect at the next start.
    if (m_state.gLanguageChanged)
        m_state.gLanguage = m_state.gLanguage == 1 ? 2 : 1;
    m_store.writeInt(SettingsKey::Language, m_state.gLanguage);
    m_store.sync();

    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w != this && w->isVisible())
            w->close();
    }
    for (QTimer *t : findChildren<QTimer *>())
        t->stop();
    if (m_hooks.isPortOpen && m_hooks.closePort && m_hooks.isPortOpen())
        m_hooks.closePort();
    m_unloaded = true;
    emit unloaded();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (!QueryClose(!m_closingByProgram)) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}
