#include "VelHomeViewController.h"

#include "ui_VelHomeViewController.h"

#include "app/RakLocalizedString.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"

VelHomeViewController::VelHomeViewController(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::VelHomeViewController>())
{
    ui->setupUi(this);
    reloadTexts();
    VelNotificationCenter::defaultCenter().addObserver(QString::fromLatin1(VelNotification::kNotiChangeUILanguage),
                                                       this, [this] { reloadTexts(); });
}

VelHomeViewController::~VelHomeViewController() = default;

void VelHomeViewController::reloadTexts()
{
    ui->welcomeLabel->setText(RakLocalizedString::rakAppLocalizedString(QStringLiteral("欢迎使用 Travik Vazade")));
}
