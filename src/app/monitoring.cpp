#include "app/monitoring.h"

#include "app/elapsed_clock.h"
#include "app/resources.h"
#include "app/ui_worker_host.h"
#include "entries/entry_list.h"
#include "monitor/cell_texts.h"
#include "ui/message_box.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

namespace sornel {

Monitoring::Monitoring(EntryList& list, ElapsedClock& clock)
    : list_(list), clock_(clock), host_(std::make_shared<UiWorkerHost>(list))
{
    host_->setSound(&playAlertSound);
}

Monitoring::~Monitoring()
{
    endAll();
    host_->detach();
}

void Monitoring::endAll()
{
    for (WorkerSlot& slot : slots_) {
        slot.end();
    }
}

void Monitoring::setSoundForTesting(std::function<void()> play)
{
    host_->setSound(std::move(play));
}

namespace {

bool eligible(EntryList& list, int row)
{
    return !list.cellText(row, column(EntryColumn::Number)).empty() &&
           list.cellText(row, column(EntryColumn::Found)) != cell::kYes;
}

} // namespace

void startMonitoring(Monitoring& monitoring)
{
    EntryList& list = monitoring.list();
    if (eligible(list, 0) || eligible(list, 1) || eligible(list, 2)) {
        monitoring.clock().start();
    }
    if (eligible(list, 0)) {
        monitoring.slot(0).start(monitoring.host(), monitoring.timing());
    }
    if (list.cellText(0, column(EntryColumn::Number)).empty()) {
        showMessage(list.window(), MessageIcon::Information, QStringLiteral("提示"),
                    QStringLiteral("请先按“ 增加 ”按钮添加监控！"));
    }
    for (const int row : {1, 2}) {
        if (eligible(list, row)) {
            monitoring.slot(row).start(monitoring.host(), monitoring.timing());
        }
    }
}

void stopMonitoring(Monitoring& monitoring)
{
    monitoring.clock().stop();
    for (const int row : {0, 1, 2}) {
        monitoring.list().setCellText(row, column(EntryColumn::Status), cell::kStopped);
    }
    monitoring.endAll();
}

void playAlertSound()
{
    registerResources();
    // A fresh effect per alert, so that alerts overlap instead of cutting each other off.
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying()) {
            effect->deleteLater();
        }
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error) {
            effect->deleteLater();
        }
    });
    effect->setSource(QUrl(QStringLiteral("qrc:/sounds/alert.wav")));
    effect->play();
}

} // namespace sornel
