#include "app/list/resemblance_label.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>

#include "results/result_list.h"

namespace tarnwick {

void AttachResemblanceLabel(QTableView* view, const ResultList& list, QStatusBar* statusBar) {
  auto* label = new QLabel(statusBar);
  label->setObjectName(QStringLiteral("标签行相似度"));
  statusBar->addPermanentWidget(label);
  label->hide();
  const auto follow = [view, &list, label] {
    const int row = view->currentIndex().row();
    const int similarity =
        row >= 0 && static_cast<std::size_t>(row) < list.Count()
            ? list.Row(static_cast<std::size_t>(row)).similarity
            : -1;
    label->setVisible(similarity >= 0);
    if (similarity < 0) return;
    label->setText(
        QCoreApplication::translate("List", "与本组第一个文件相似 %1 %")
            .arg(QString::number(similarity / 10) + QLatin1Char('.') +
                 QString::number(similarity % 10)));
  };
  QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, label,
                   follow);
  // A new job empties the list: the row it showed is gone.
  QObject::connect(view->model(), &QAbstractItemModel::modelReset, label, follow);
  QObject::connect(view->model(), &QAbstractItemModel::rowsRemoved, label, follow);
}

}  // namespace tarnwick
