#include "gui/qt/qt_file_filter.h"

#include <QString>

namespace fwu {

namespace {

QString BareLabel(QString label) {
  label = label.trimmed();
  if (label.size() >= 2 && label.front() == u'(' && label.back() == u')') label = label.mid(1, label.size() - 2);
  return label;
}

QString PosixPatterns(const QString& patterns) {
  QStringList converted;
  for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
    const QString trimmed = pattern.trimmed();
    converted.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
  }
  return converted.join(u' ');
}

}  // namespace

QStringList ToQtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    filters.append(QStringLiteral("%1 (%2)").arg(BareLabel(parts[i]), PosixPatterns(parts[i + 1])));
  }
  return filters;
}

}  // namespace fwu
