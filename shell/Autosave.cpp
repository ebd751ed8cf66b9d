// Writes and removes the recovery copy of a map window as its history moves.
#include "shell/Autosave.h"

#include "file/Recovery.h"
#include "shell/CMapClient.h"
#include "support/ErrorReporter.h"

namespace {

RecoveryStore* gStore = nullptr;
std::chrono::milliseconds gDelay{0};

}  // namespace

void Autosave::setStore(RecoveryStore* store) { gStore = store; }
RecoveryStore* Autosave::store() { return gStore; }
void Autosave::setDelay(std::chrono::milliseconds delay) { gDelay = delay; }

Autosave::Autosave(CMapClient* view, RecoveryStore& store, std::optional<unsigned> slot)
    : QObject(view), view_(view), store_(store), slot_(slot ? *slot : store.openSlot()) {
  timer_.setSingleShot(true);
  timer_.setInterval(gDelay.count() > 0 ? gDelay : kAutosaveDelay);
  connect(&timer_, &QTimer::timeout, this, [this] { writeNow(); });
  connect(view_, &CMapClient::historyChanged, this, &Autosave::historyMoved);
}

Autosave::~Autosave() { store_.removeCopy(slot_); }

bool Autosave::hasCopy() const { return store_.copyOf(slot_).has_value(); }

void Autosave::historyMoved() {
  if (!view_->isChanged()) {
    // Saved, or undone back to what the file holds: the file is the copy.
    timer_.stop();
    commands_ = 0;
    store_.removeCopy(slot_);
    return;
  }
  if (++commands_ >= kAutosaveCommands) {
    writeNow();
    return;
  }
  if (!timer_.isActive()) timer_.start();
}

bool Autosave::writeNow() {
  timer_.stop();
  commands_ = 0;
  std::string why;
  if (store_.writeCopy(slot_, view_->document(), view_->fileName(), &why)) {
    toldFailure_ = false;
    return true;
  }
  if (!toldFailure_)
    reportError(nullptr, 'W', "Can't write the recovery copy of '%s': %s",
                view_->documentName().toLocal8Bit().constData(), why.c_str());
  toldFailure_ = true;
  return false;
}
