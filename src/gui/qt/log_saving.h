#pragma once

#include <QString>
#include <functional>

class QPlainTextEdit;

namespace fwu {

// The log pane's context menu gets "Save Log...": the user keeps the log
// of a run, to send with a report. choosePath returns the file to write,
// or an empty text when the user cancelled.
void OfferLogSaving(QPlainTextEdit& pane, std::function<QString()> choosePath);

// Writes the pane's whole text to path; false when it could not.
bool SaveLog(const QPlainTextEdit& pane, const QString& path);

}  // namespace fwu
