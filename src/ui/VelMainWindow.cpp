#include "VelMainWindow.h"

#include "ui_VelMainWindow.h"

#include "platform/VelUserDefaults.h"

#include <QCloseEvent>

VelMainWindow::VelMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::VelMainWindow>())
{
    ui->setupUi(this);
}

VelMainWindow::~VelMainWindow() = default;

void VelMainWindow::setContentView(QWidget *view)
{
    if (!view) {
        ui->contentView->setFixedSize(0, 0);
        return;
    }
    const QSize size = view->size();
    ui->contentLayout->addWidget(view);
    resize(size);
}

void VelMainWindow::setFrameAutosaveName(const QString &name)
{
    m_frameAutosaveName = name;
    const QByteArray frame = VelUserDefaults::standardUserDefaults().dataForKey(
        QStringLiteral("NSWindow Frame %1").arg(name));
    if (!frame.isEmpty())
        restoreGeometry(frame);
}

void VelMainWindow::saveFrame()
{
    if (m_frameAutosaveName.isEmpty() || !isVisible())
        return;
    VelUserDefaults::standardUserDefaults().setData(saveGeometry(),
                                                    QStringLiteral("NSWindow Frame %1").arg(m_frameAutosaveName));
}

void VelMainWindow::closeEvent(QCloseEvent *event)
{
    saveFrame();
    VelUserDefaults::standardUserDefaults().synchronize();
    hide();
    event->ignore();
}

void VelMainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    emit shown();
}

void VelMainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    saveFrame();
}

void VelMainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    saveFrame();
}

void VelMainWindow::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        emit firstPainted();
    }
}
