// One map window at a time for a GUI suite: the prototypes, the Qt interaction, the frame and its view.
#pragma once

#include <QPointer>
#include <QSize>
#include <memory>

#include "QtTestSupport.h"
#include "commands/GraphicsFactory.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtInteraction.h"

struct MapWindowFixture {
  std::unique_ptr<QtInteraction> interaction;
  QPointer<CMapFrame> frame;
  CMapClient* view = nullptr;

  /// Once per suite: the standard prototypes and the interaction backend.
  void setUpSuite() {
    registerStandardPrototypes();
    registerComponentPrototypes();
    interaction = std::make_unique<QtInteraction>();
  }
  void tearDownSuite() { interaction.reset(); }
  /// A new, empty map window, shown and active (of `size` when given).
  bool open(QSize size = {}) {
    frame = new CMapFrame(nullptr);
    view = frame->view();
    if (size.isValid()) frame->resize(size);
    return showActive(frame);
  }
  /// Drops unanswered dialog watches and the window.
  void close() {
    dropModalWatches();
    if (frame) {
      frame->setAttribute(Qt::WA_DeleteOnClose, false);
      delete frame.data();
    }
    view = nullptr;
  }
};
