#pragma once

#include <QString>
#include <vector>

#include "record/Recorder.h"

class QWidget;

namespace vornex {

// At the end of the program, for each test whose points its file did not take: says how many
// points of which test are unwritten and why, and offers to save them as a test file where the
// user chooses, in the language of `languageFile`. Cancelling the file dialog leaves them unsaved.
void offerToSaveUnwritten(QWidget* parent, const QString& languageFile,
                          const std::vector<Recorder::Unwritten>& unwritten,
                          const QString& startFolder);

}  // namespace vornex
