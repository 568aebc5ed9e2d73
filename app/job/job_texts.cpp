#include "app/job/job_texts.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <climits>
#include <string>

#include "engine/filter_job.h"
#include "text/path_display.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

QString Translated(const char* source) { return QCoreApplication::translate("FilterJob", source); }

// FormatElapsed's units, each with the blank before it.
constexpr const char* kElapsedUnits[] = {
    QT_TRANSLATE_NOOP("FilterJob", " 毫秒"), QT_TRANSLATE_NOOP("FilterJob", " 秒"),
    QT_TRANSLATE_NOOP("FilterJob", " 分"),   QT_TRANSLATE_NOOP("FilterJob", " 时"),
    QT_TRANSLATE_NOOP("FilterJob", " 天"),   QT_TRANSLATE_NOOP("FilterJob", " 月"),
    QT_TRANSLATE_NOOP("FilterJob", " 年")};

}  // namespace

QString ElapsedText(std::int64_t ms) {
  const std::string text = FormatElapsed(ms);
  const std::size_t blank = text.rfind(' ');
  for (const char* unit : kElapsedUnits) {
    if (blank != std::string::npos && text.compare(blank, std::string::npos, unit) == 0)
      return QString::fromStdString(text.substr(0, blank)) + Translated(unit);
  }
  return QString::fromStdString(text);
}

QString SummaryLine(std::size_t rows, std::int64_t ms) {
  const int count = static_cast<int>(std::min<std::size_t>(rows, INT_MAX));
  return QCoreApplication::translate("FilterJob",
                                     "筛选完毕！共筛选出 %n 个文件，耗时 %1。请单击按钮操作列表！",
                                     nullptr, count)
      .arg(ElapsedText(ms));
}

QString ChangedFilesText(std::size_t count, const std::string& firstPath) {
  const int files = static_cast<int>(std::min<std::size_t>(count, INT_MAX));
  return QCoreApplication::translate("FilterJob", "%n 个文件在筛选中被改动，未列入重复组：%1",
                                     nullptr, files)
      .arg(QString::fromStdString(PathDisplayUtf8(firstPath)));
}

QString CacheNoticeText(const CacheNotice& notice) {
  const QString because = notice.detail.empty()
                              ? QString()
                              : Translated(QT_TRANSLATE_NOOP("FilterJob", "（%1）"))
                                    .arg(QString::fromStdString(notice.detail));
  switch (notice.problem) {
    case CacheProblem::Unavailable:
      return Translated(QT_TRANSLATE_NOOP("FilterJob", "摘要缓存无法使用%1，已直接读取文件"))
          .arg(because);
    case CacheProblem::ReadOnly:
      return Translated(QT_TRANSLATE_NOOP("FilterJob", "摘要缓存不可写入%1，已直接读取文件"))
          .arg(because);
    case CacheProblem::Locked:
      return Translated(QT_TRANSLATE_NOOP("FilterJob", "摘要缓存被其他程序锁定，已直接读取文件"));
    case CacheProblem::Damaged:
      return Translated(QT_TRANSLATE_NOOP("FilterJob", "摘要缓存已损坏%1，已重新建立"))
          .arg(because);
    case CacheProblem::OtherVersion:
      return Translated(QT_TRANSLATE_NOOP("FilterJob", "摘要缓存来自其他版本，已重新建立"));
    case CacheProblem::WriteFailed:
      return Translated(
                 QT_TRANSLATE_NOOP("FilterJob", "摘要缓存写入失败%1，本次其余部分未使用缓存"))
          .arg(because);
  }
  return {};
}

QString CountsText(std::uint64_t examined, std::uint64_t listed) {
  const QLocale locale;
  return Translated(QT_TRANSLATE_NOOP("FilterJob", "已检查 %1 个文件，列出 %2 个"))
      .arg(locale.toString(static_cast<qulonglong>(examined)),
           locale.toString(static_cast<qulonglong>(listed)));
}

QString DuplicateProgressText(DuplicateStage stage, std::uint64_t done, std::uint64_t total,
                              ProgressUnit unit) {
  const char* name = "";
  switch (stage) {
    case DuplicateStage::LookUp:
      name = QT_TRANSLATE_NOOP("FilterJob", "正在查找摘要缓存：%1");
      break;
    case DuplicateStage::CompareEnds:
      name = QT_TRANSLATE_NOOP("FilterJob", "正在比较文件首尾：%1");
      break;
    case DuplicateStage::CompareWhole:
      name = QT_TRANSLATE_NOOP("FilterJob", "正在比较全部内容：%1");
      break;
    case DuplicateStage::ReadMd5:
      name = QT_TRANSLATE_NOOP("FilterJob", "正在读MD5：%1");
      break;
    case DuplicateStage::ListGroups:
      name = QT_TRANSLATE_NOOP("FilterJob", "正在列出重复文件：%1");
      break;
  }
  QString amount;
  if (unit == ProgressUnit::Bytes) {
    auto size = [](std::uint64_t bytes) {
      return QString::fromStdString(SizeText(static_cast<std::int64_t>(bytes)));
    };
    amount = QStringLiteral("%1 / %2").arg(size(done), size(total));
  } else {
    const QLocale locale;
    amount = Translated(QT_TRANSLATE_NOOP("FilterJob", "%1 / %2 个文件"))
                 .arg(locale.toString(static_cast<qulonglong>(done)),
                      locale.toString(static_cast<qulonglong>(total)));
  }
  return Translated(name).arg(amount);
}

QString UndecidedText(std::size_t count, const QString& firstPath) {
  const int shown = static_cast<int>(std::min<std::size_t>(count, INT_MAX));
  return QCoreApplication::translate(
             "FilterJob", "%n 个文件无法在内存限制内判断是否含有筛选内容，未列出（如 %1）", nullptr,
             shown)
      .arg(firstPath);
}

QString ActivityText(const QString& status) {
  // The engine's own words, as it writes them.
  const QString walking = QString::fromUtf8("正在筛选：");
  if (status.startsWith(walking)) {
    return Translated(QT_TRANSLATE_NOOP("FilterJob", "正在筛选：%1"))
        .arg(status.mid(walking.size()));
  }
  const QString sizeHead = QString::fromUtf8("大小 ");
  const QString digesting = QString::fromUtf8("，正在读MD5：");
  const qsizetype digestAt = status.indexOf(digesting);
  if (status.startsWith(sizeHead) && digestAt > 0) {
    return Translated(QT_TRANSLATE_NOOP("FilterJob", "大小 %1，正在读MD5：%2"))
        .arg(status.mid(sizeHead.size(), digestAt - sizeHead.size()),
             status.mid(digestAt + digesting.size()));
  }
  return status;
}

}  // namespace tarnwick
