#include "VelUiHooks.h"

#include "app/AppDelegate.h"
#include "device/VelMyUtils.h"
#include "overlays/VelVoiceHudHook.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

void presentSheet(AppDelegate *delegate, const VelMyUtils::Alert &alert, VelMyUtils::AlertCompletion completion)
{
    QWidget *parent = delegate ? delegate->window() : nullptr;
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(alert.style == VelMyUtils::Alert::Warning ? QMessageBox::Warning : QMessageBox::Information);
    box->setText(alert.messageText);
    box->setInformativeText(alert.informativeText);
    QList<QAbstractButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons << box->addButton(title, QMessageBox::AcceptRole);
    if (buttons.isEmpty())
        buttons << box->addButton(QMessageBox::Ok);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, completion] {
        // The first button answers 1000, the second 1001, … like the
        // platform's alert; closing otherwise answers the first.
        const qsizetype index = std::max<qsizetype>(0, buttons.indexOf(box->clickedButton()));
        if (completion)
            completion(VelMyUtils::kAlertFirstButtonReturn + index);
    });
    box->open();
}

QPointer<QLabel> &hudLabel()
{
    static QPointer<QLabel> label;
    return label;
}

void showHud(const QString &text)
{
    if (!hudLabel()) {
        hudLabel() = new QLabel;
        hudLabel()->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                   | Qt::WindowDoesNotAcceptFocus);
        hudLabel()->setAttribute(Qt::WA_ShowWithoutActivating);
        hudLabel()->setObjectName(QStringLiteral("voiceHudLabel"));
        hudLabel()->setStyleSheet(QStringLiteral("background: rgba(0,0,0,200); color: white; padding: 12px 20px; border-radius: 8px;"));
    }
    hudLabel()->setText(text);
    hudLabel()->adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        hudLabel()->move(area.center().x() - hudLabel()->width() / 2, area.bottom() - 160);
    }
    hudLabel()->show();
}

void dismissHud(double afterSeconds)
{
    QTimer::singleShot(int(afterSeconds * 1000), [] {
        if (hudLabel())
            hudLabel()->hide();
    });
}

} // namespace

void VelUiHooks::install(AppDelegate *delegate)
{
    QPointer<AppDelegate> guard(delegate);
    VelMyUtils::setAlertPresenter([guard](const VelMyUtils::Alert &alert, VelMyUtils::AlertCompletion completion) {
        presentSheet(guard.data(), alert, std::move(completion));
    });
    VelVoiceHudHook::install([](const QString &text, qint64, qint64) { showHud(text); }, &dismissHud);
}
