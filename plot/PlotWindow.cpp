// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/PlotWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QPainter>

#include "plot/CsvExport.h"
#include "plot/LogReader.h"
#include "plot/PlotView.h"
#include "plot/Readings.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Services.h"

namespace {
constexpr int RefreshMs = 250;
// Rows written per slice of a CSV export.
constexpr int CsvRowsPerSlice = 20000;
const char* const SeriesCaption[PlotSeriesCount] = {"P1 V", "P1 A", "P2 V", "P2 A"};
}

const qint64 PlotWindow::Spans[5] = {60 * 1000, 5 * 60 * 1000, 15 * 60 * 1000, 60 * 60 * 1000, 0};

PlotWindow::PlotWindow(LiveReadings& live, UiServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), live_(live), services_(services)
{
    // The console's closing ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    RefreshTimer.setTimerType(Qt::PreciseTimer);
    RefreshTimer.setInterval(RefreshMs);
    CsvTimer.setTimerType(Qt::PreciseTimer);
    CsvTimer.setInterval(0);
    // Children, so that tests find them by name as they find the controls.
    RefreshTimer.setParent(this);
    RefreshTimer.setObjectName(QStringLiteral("RefreshTimer"));
    CsvTimer.setParent(this);
    CsvTimer.setObjectName(QStringLiteral("CsvTimer"));
    BuildControls();
    connect(&RefreshTimer, &QTimer::timeout, this, &PlotWindow::RefreshTimer_Timer);
    connect(&CsvTimer, &QTimer::timeout, this, &PlotWindow::CsvTimer_Timer);
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::BuildControls()
{
    setObjectName(QStringLiteral("PlotWindow"));
    setWindowTitle(tr("측정 그래프"));
    setFont(GulimFont(9));

    ComboSpan = Named(new QComboBox, "ComboSpan");
    ComboSpan->addItems({tr("1분"), tr("5분"), tr("15분"), tr("60분"),
                         tr("전체")});
    ComboSpan->setCurrentIndex(1);
    ComboSpan->setAccessibleName(tr("표시 구간"));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("표시 구간")));
    top->addWidget(ComboSpan);
    top->addSpacing(12);
    for (int s = 0; s < PlotSeriesCount; ++s) {
        CheckSeries[s] = new QCheckBox(QString::fromLatin1(SeriesCaption[s]));
        CheckSeries[s]->setObjectName(QStringLiteral("CheckSeries%1").arg(s + 1));
        CheckSeries[s]->setChecked(true);
        top->addWidget(CheckSeries[s]);
    }
    top->addSpacing(12);
    CheckStacked = Named(new QCheckBox(tr("전압·전류 나누어 보기")), "CheckStacked");
    top->addWidget(CheckStacked);
    top->addStretch();
    CmdOpenLog = Named(new QPushButton(tr("로그 열기")), "CmdOpenLog");
    top->addWidget(CmdOpenLog);

    LiveView = Named(new PlotView(live_.Store(), [this] { return live_.Now(); }), "LiveView");
    TabViews = Named(new QTabWidget, "TabViews");
    TabViews->addTab(LiveView, tr("실시간"));

    LabelCursor = Named(new QLabel(tr("그래프 위에 마우스를 올리면 그 시각의 값이 보입니다.")), "LabelCursor");
    LabelCursor->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ProgressLog = Named(new QProgressBar, "ProgressLog");
    ProgressLog->setRange(0, 1000);
    ProgressLog->setTextVisible(false);
    CmdCancelLog = Named(new QPushButton(tr("읽기 취소")), "CmdCancelLog");
    LabelLog = Named(new QLabel, "LabelLog");
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(ProgressLog, 1);
    logRow->addWidget(CmdCancelLog);
    logRow->addWidget(LabelLog, 2);
    for (QWidget* w : {static_cast<QWidget*>(ProgressLog), static_cast<QWidget*>(CmdCancelLog),
                       static_cast<QWidget*>(LabelLog)})
        w->hide();

    LabelUnreadable = Named(new QLabel(tr("읽지 못한 값 0")), "LabelUnreadable");
    CmdPng = Named(new QPushButton(tr("PNG 저장")), "CmdPng");
    CmdSvg = Named(new QPushButton(tr("SVG 저장")), "CmdSvg");
    CmdCsvView = Named(new QPushButton(tr("CSV 저장 (보이는 구간)")), "CmdCsvView");
    CmdCsvAll = Named(new QPushButton(tr("CSV 저장 (전체)")), "CmdCsvAll");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LabelUnreadable);
    bottom->addStretch();
    for (QPushButton* b : {CmdPng, CmdSvg, CmdCsvView, CmdCsvAll})
        bottom->addWidget(b);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(6, 6, 6, 6);
    box->setSpacing(4);
    box->addLayout(top);
    box->addWidget(TabViews, 1);
    box->addWidget(LabelCursor);
    box->addLayout(logRow);
    box->addLayout(bottom);
    resize(960, 600);

    connect(ComboSpan, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            CurrentView()->SetSpan(Spans[index]);
    });
    for (int s = 0; s < PlotSeriesCount; ++s)
        connect(CheckSeries[s], &QCheckBox::toggled, this, [this, s](bool on) {
            for (PlotView* v : {LiveView, LogView})
                if (v)
                    v->SetSeriesVisible(s, on);
        });
    // Kept with the window, which lives as long as the program, as the span and the series are.
    connect(CheckStacked, &QCheckBox::toggled, this, [this](bool on) {
        for (PlotView* v : {LiveView, LogView})
            if (v)
                v->SetStacked(on);
    });
    connect(LiveView, &PlotView::CursorMoved, LabelCursor, &QLabel::setText);
    connect(TabViews, &QTabWidget::currentChanged, this, [this] { CurrentView()->Refresh(); });
    connect(CmdPng, &QPushButton::clicked, this, &PlotWindow::CmdPng_Click);
    connect(CmdSvg, &QPushButton::clicked, this, &PlotWindow::CmdSvg_Click);
    connect(CmdCsvView, &QPushButton::clicked, this, [this] { CmdCsv_Click(false); });
    connect(CmdCsvAll, &QPushButton::clicked, this, [this] { CmdCsv_Click(true); });
    connect(CmdOpenLog, &QPushButton::clicked, this, &PlotWindow::CmdOpenLog_Click);
    connect(CmdCancelLog, &QPushButton::clicked, this, &PlotWindow::CmdCancelLog_Click);
}

PlotView* PlotWindow::CurrentView() const
{
    return LogView && TabViews->currentWidget() == LogView ? LogView : LiveView;
}

const SampleStore* PlotWindow::CurrentStore() const
{
    return CurrentView() == LogView ? logStore_.get() : &live_.Store();
}

void PlotWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RefreshTimer_Timer();
    RefreshTimer.start();
}

void PlotWindow::hideEvent(QHideEvent* event)
{
    // Hidden, it draws nothing; the readings keep arriving in the store.
    RefreshTimer.stop();
    QWidget::hideEvent(event);
}

void PlotWindow::RefreshTimer_Timer()
{
    LabelUnreadable->setText(tr("읽지 못한 값 %1").arg(live_.Unreadable()));
    PlotView* view = CurrentView();
    // A view the operator has moved stays where it is, but a loading log still fills in.
    if (view->Following() || (view == LogView && loader_ && loader_->Running()))
        view->Refresh();
}

void PlotWindow::Fail(const QString& text)
{
    services_.ShowMessage(this, QStringLiteral("Tarvio"), text);
}

QString PlotWindow::SavePath(const QString& title, const QString& filter, const QString& suffix)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd_HHmmss"));
    return services_.SaveFileName(this, title, filter, QStringLiteral("graph_%1.%2").arg(stamp, suffix));
}

void PlotWindow::CmdPng_Click()
{
    const QString path = SavePath(tr("그림 저장"), tr("PNG 그림 (*.png)"), QStringLiteral("png"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QPixmap picture = CurrentView()->grab();
    if (!(file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.flush() && file.commit()))
        Fail(tr("그림을 저장할 수 없습니다: %1\n%2").arg(path, file.errorString()));
}

void PlotWindow::CmdSvg_Click()
{
    const QString path = SavePath(tr("그림 저장"), tr("SVG 그림 (*.svg)"), QStringLiteral("svg"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        PlotView* view = CurrentView();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(view->size());
        svg.setViewBox(QRect(QPoint(0, 0), view->size()));
        svg.setTitle(windowTitle());
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            view->render(&painter);
            painter.end();
        }
        ok = ok && file.error() == QFileDevice::NoError && file.flush() && file.commit();
    }
    if (!ok)
        Fail(tr("그림을 저장할 수 없습니다: %1\n%2").arg(path, file.errorString()));
}

void PlotWindow::CmdCsv_Click(bool wholeRun)
{
    if (csvWriter_)
        return;
    const QString path = SavePath(tr("CSV 저장"), tr("CSV 파일 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const SampleStore* store = CurrentStore();
    PlotView* view = CurrentView();
    if (view->Following())
        view->Refresh();
    // The view's end is the latest moment shown, so it belongs to the view.
    const qint64 t0 = wholeRun ? std::numeric_limits<qint64>::min() : view->RangeStart();
    const qint64 t1 = wholeRun ? std::numeric_limits<qint64>::max() : view->RangeEnd() + 1;
    csvFile_ = std::make_unique<QSaveFile>(path);
    if (!csvFile_->open(QIODevice::WriteOnly)) {
        Fail(tr("CSV 파일을 저장할 수 없습니다: %1\n%2").arg(path, csvFile_->errorString()));
        csvFile_.reset();
        return;
    }
    csvWriter_ = std::make_unique<CsvWriter>(*store, t0, t1);
    for (QPushButton* b : {CmdCsvView, CmdCsvAll, CmdOpenLog})
        b->setEnabled(false);
    CsvTimer.start();
}

void PlotWindow::CsvTimer_Timer()
{
    if (!csvWriter_->WriteSome(*csvFile_, CsvRowsPerSlice))
        return;
    CsvTimer.stop();
    const bool ok = !csvWriter_->Failed() && csvFile_->flush() && csvFile_->commit();
    if (!ok)
        Fail(tr("CSV 파일을 저장할 수 없습니다: %1\n%2").arg(csvFile_->fileName(), csvFile_->errorString()));
    csvWriter_.reset();
    csvFile_.reset();
    for (QPushButton* b : {CmdCsvView, CmdCsvAll, CmdOpenLog})
        b->setEnabled(true);
}

void PlotWindow::CmdOpenLog_Click()
{
    const QString path = services_.OpenFileName(this, tr("로그 열기"),
                                                tr("측정 기록 (*_MS.txt);;모든 파일 (*)"), QString());
    if (path.isEmpty())
        return;
    // A new log replaces the one shown; the live view is never touched.
    if (loader_)
        loader_->Cancel();
    auto store = std::make_unique<SampleStore>();
    auto loader = std::make_unique<LogLoader>(*store);
    const Outcome started = loader->Start(path);
    if (!started.Ok()) {
        Fail(started.Message());
        return;
    }
    if (LogView) {
        TabViews->removeTab(TabViews->indexOf(LogView));
        delete LogView;
    }
    logStore_ = std::move(store);
    loader_ = std::move(loader);
    const SampleStore* logStore = logStore_.get();
    LogView = Named(new PlotView(*logStore, [logStore] { return logStore->LastTime(); }), "LogView");
    LogView->SetSpan(0);
    for (int s = 0; s < PlotSeriesCount; ++s)
        LogView->SetSeriesVisible(s, CheckSeries[s]->isChecked());
    LogView->SetStacked(CheckStacked->isChecked());
    connect(LogView, &PlotView::CursorMoved, LabelCursor, &QLabel::setText);
    TabViews->setCurrentIndex(TabViews->addTab(LogView, tr("로그: %1").arg(QFileInfo(path).fileName())));
    connect(loader_.get(), &LogLoader::Progress, this, [this] {
        ProgressLog->setValue(int(loader_->Size() > 0 ? loader_->Position() * 1000 / loader_->Size() : 0));
        ShowLogCounts();
    });
    connect(loader_.get(), &LogLoader::Finished, this, &PlotWindow::LogFinished);
    ProgressLog->setValue(0);
    ProgressLog->show();
    CmdCancelLog->show();
    LabelLog->show();
    ShowLogCounts();
}

void PlotWindow::CmdCancelLog_Click()
{
    if (loader_)
        loader_->Cancel();
}

void PlotWindow::ShowLogCounts()
{
    LabelLog->setText(tr("기록 %1, 건너뛴 줄 %2, 읽지 못한 값 %3, 시간 되돌림 %4")
                          .arg(loader_->Records())
                          .arg(loader_->Skipped())
                          .arg(loader_->Unreadable())
                          .arg(loader_->Folds()));
}

void PlotWindow::LogFinished(bool ok)
{
    ProgressLog->hide();
    CmdCancelLog->hide();
    ShowLogCounts();
    if (!ok)
        LabelLog->setText(LabelLog->text() + tr(" (중단됨)"));
    LogView->SetFolds(loader_->FoldTimes());
    LogView->Follow();
    if (!loader_->Result().Ok())
        Fail(loader_->Result().Message());
}
