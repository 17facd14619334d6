// The dialog in which the user picks which of a file's signals to show as the three traces.

#include "ui/dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace trazel {

namespace {

constexpr std::size_t MostTraces = 3;

QString offerText(const SignalOffer& offer, int number) {
    const QString unit = offer.unit.isEmpty() ? QString() : QStringLiteral("  (%1)").arg(offer.unit);
    return QStringLiteral("%1. %2%3  %4 Hz").arg(number).arg(offer.label, unit).arg(offer.rate, 0, 'g', 10);
}

// Checking a signal appends it to the traces, unchecking takes it out; signals of another rate than the
// first one checked, and any further one once three are checked, cannot be checked.
class SignalChoiceDialog : public QDialog {
public:
    SignalChoiceDialog(const std::vector<SignalOffer>& offered, const std::vector<int>& preselected,
                       QWidget* parent)
        : QDialog(parent), m_offered(offered), m_list(new QListWidget(this)), m_traces(new QLabel(this)),
          m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
        setWindowTitle(QStringLiteral("Signals"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(
            QStringLiteral("Pick up to three signals of one rate, in the order of the traces:"), this));
        layout->addWidget(m_list);
        layout->addWidget(m_traces);
        layout->addWidget(m_buttons);
        for (std::size_t i = 0; i < offered.size(); ++i) {
            auto* item = new QListWidgetItem(offerText(offered[i], static_cast<int>(i) + 1), m_list);
            item->setCheckState(Qt::Unchecked);
        }
        for (int i : preselected) {
            if (i >= 0 && static_cast<std::size_t>(i) < offered.size() && m_order.size() < MostTraces) {
                m_order.push_back(i);
                m_list->item(i)->setCheckState(Qt::Checked);
            }
        }
        connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { toggle(item); });
        connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        refresh();
        resize(480, 420);
    }

    std::vector<int> chosen() const { return m_order; }

private:
    void toggle(QListWidgetItem* item) {
        const int row = m_list->row(item);
        std::erase(m_order, row);
        if (item->checkState() == Qt::Checked) {
            m_order.push_back(row);
        }
        refresh();
    }

    void refresh() {
        const QSignalBlocker quiet(m_list);
        QStringList names;
        for (int i : m_order) {
            names << m_offered[static_cast<std::size_t>(i)].label;
        }
        for (int row = 0; row < m_list->count(); ++row) {
            QListWidgetItem* item = m_list->item(row);
            const bool checked = std::ranges::find(m_order, row) != m_order.end();
            const bool open = m_order.empty() || (m_order.size() < MostTraces &&
                                                  m_offered[static_cast<std::size_t>(row)].rate ==
                                                      m_offered[static_cast<std::size_t>(m_order[0])].rate);
            item->setFlags(checked || open ? item->flags() | Qt::ItemIsEnabled
                                           : item->flags() & ~Qt::ItemIsEnabled);
        }
        m_traces->setText(QStringLiteral("Traces: ") +
                          (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_order.empty());
    }

    const std::vector<SignalOffer>& m_offered;
    QListWidget* m_list;
    QLabel* m_traces;
    QDialogButtonBox* m_buttons;
    std::vector<int> m_order;
};

} // namespace

std::vector<int> QtDialogs::ChooseSignals(const std::vector<SignalOffer>& offered,
                                          const std::vector<int>& preselected) {
    SignalChoiceDialog dialog(offered, preselected, m_parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : std::vector<int>{};
}

} // namespace trazel
