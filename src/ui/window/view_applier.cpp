#include "ui/window/view_applier.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "lang/control_texts.h"
#include "ui/map/map_selection.h"
#include "ui/widgets/up_down.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

void SetLabelText(QLabel* l, const QString& text) {
  l->setText(text);
  QLayout* layout = l->parentWidget() ? l->parentWidget()->layout() : nullptr;
  if (!layout || layout->indexOf(l) < 0) l->adjustSize();
}

void ApplyControlTexts(QObject* root, QTabWidget* tabs, LanguageCode lang) {
  for (const ControlText& t : ControlTexts(lang)) {
    const QString name = Utf8(t.component);
    const QString text = Utf8(t.text);
    if (t.property == TextProperty::Hint) {
      const QString tip = Utf8(HintTooltipText(t.text));
      const QString status = Utf8(HintStatusText(t.text));
      if (auto* a = root->findChild<QAction*>(name)) {
        a->setToolTip(tip);
        a->setStatusTip(status);
      }
      if (auto* w = root->findChild<QWidget*>(name)) {
        w->setToolTip(tip);
        w->setStatusTip(status);
      }
      continue;
    }
    if (t.property == TextProperty::Items || t.property == TextProperty::Item) {
      if (auto* r = root->findChild<RadioGroup*>(name)) {
        if (t.property == TextProperty::Items) {
          QStringList items;
          for (std::string_view s : SplitItemList(t.text)) items << Utf8(s);
          r->SetItems(items);
        } else {
          r->SetItem(t.item, text);
        }
      }
      continue;
    }
    // Captions: sheets are tabs, menus are actions, the rest are widgets.
    if (QWidget* w = root->findChild<QWidget*>(name)) {
      const int tab = tabs ? tabs->indexOf(w) : -1;
      if (tab >= 0) {
        tabs->setTabText(tab, text);
      } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
      } else if (auto* l = qobject_cast<QLabel*>(w)) {
        SetLabelText(l, text);
      } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(text);
      } else if (auto* m = qobject_cast<QMenu*>(w)) {
        m->setTitle(text);
      }
    } else if (auto* a = root->findChild<QAction*>(name)) {
      a->setText(text);
    }
  }
}

ViewApplier::ViewApplier(QWidget& window, WindowControls& controls) : window_(window), controls_(controls) {}

void ViewApplier::ApplyNormalised(const NormaliseResult& normalised) {
  for (QLineEdit* e : controls_.PressureVoltageEdits) {
    if (e) SetBackground(e, normalised.PressureVoltagesEqual ? Colour::Red : Colour::Window);
  }
}

QObject* ViewApplier::ByName(std::string_view name) {
  auto it = byName_.find(name);
  if (it != byName_.end()) return it->second;
  const QString qname = Utf8(name);
  QObject* o = window_.findChild<QWidget*>(qname);
  if (!o) o = window_.findChild<QAction*>(qname);
  byName_.emplace(name, o);
  return o;
}

bool ViewApplier::TakeSecondMapHidden() { return std::exchange(secondMapHidden_, false); }

void ViewApplier::Apply(const ControlState& s, const ResolvedTexts& texts) {
  QObject* o = ByName(s.Name);
  if (!o) return;
  const QString text = s.Has(SetTextKey) ? Utf8(texts[s.TextKey]) : Utf8(s.Text());
  if (auto* a = qobject_cast<QAction*>(o)) {
    if (s.Has(SetVisible)) a->setVisible(s.Visible);
    if (s.Has(SetEnabled)) a->setEnabled(s.Enabled);
    if (s.Has(SetChecked)) a->setChecked(s.Checked);
    if (s.Has(SetText) || s.Has(SetTextKey)) a->setText(text);
    return;
  }
  auto* w = static_cast<QWidget*>(o);
  QTabWidget* pages = controls_.Pages;
  const int tab = pages->indexOf(w);
  if (tab >= 0) {
    // A sheet is shown or hidden as its tab. The second injection map hidden
    // while shown gives way to the first, as the map-mode command does.
    if (s.Has(SetVisible) && !s.Visible && tab == PageInj2 && pages->currentIndex() == PageInj2) {
      secondMapHidden_ = true;  // after this view is applied
      return;
    }
    // Set only when it changes: a tab set visible again lays out and
    // repaints the whole page, and the view is applied on every monitor
    // frame.
    if (s.Has(SetVisible) && pages->isTabVisible(tab) != s.Visible) pages->setTabVisible(tab, s.Visible);
    if (s.Has(SetEnabled) && pages->isTabEnabled(tab) != s.Enabled) pages->setTabEnabled(tab, s.Enabled);
    return;
  }
  if (s.Has(SetVisible) && w->isVisibleTo(w->parentWidget()) != s.Visible) w->setVisible(s.Visible);
  if (s.Has(SetEnabled)) w->setEnabled(s.Enabled);
  if (s.Has(SetChecked)) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(s.Checked);
  }
  if (s.Has(SetText) || s.Has(SetTextKey)) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
      SetLabelText(l, text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      b->setText(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
      e->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      g->setTitle(text);
    }
  }
  if (s.Has(SetColour)) SetBackground(w, s.Colour);
  if (s.Has(SetLeft) || s.Has(SetTop)) {
    w->move(s.Has(SetLeft) ? s.Left : w->x(), s.Has(SetTop) ? s.Top : w->y());
  }
  if (s.Has(SetWidth)) w->resize(s.Width, w->height());
  if (auto* spin = qobject_cast<UpDown*>(w)) {
    if (s.Has(SetMin) || s.Has(SetMax)) spin->SetRange(s.Has(SetMin) ? s.Min : spin->Min(), s.Has(SetMax) ? s.Max : spin->Max());
    if (s.Has(SetIncrement)) spin->SetIncrement(s.Increment);
  }
}

void ViewApplier::ApplyMonitor(const MonitorView& v) {
  for (int i = 0; i < kMonLabelCount; ++i) {
    QLabel* l = controls_.MonitorLabels[i];
    const LabelView& lv = v.Labels[i];
    if (!l) continue;
    if (lv.SetText) l->setText(Utf8(lv.Text.View()));
    if (lv.SetColour) SetBackground(l, lv.TextColour);
    if (lv.SetVisible) l->setVisible(lv.Visible);
  }
  for (int i = 0; i < kMonGaugeCount; ++i) {
    Gauge* g = controls_.MonitorGauges[i];
    const GaugeView& gv = v.Gauges[i];
    if (!g) continue;
    if (gv.SetPosition) g->SetProgress(gv.Position);
    if (gv.SetBarColour) g->SetBarColour(ToQColor(gv.BarColour));
  }
  for (int i = 0; i < kMonEditCount; ++i) {
    if (controls_.MonitorEdits[i] && v.Edits[i].SetColour) SetBackground(controls_.MonitorEdits[i], v.Edits[i].BackColour);
  }
}

void ViewApplier::ApplyLinkStatus(const LinkStatus& s, QStatusBar* statusBar) {
  QLabel* label = controls_.StatusLabel;
  // An error's whole text (which blocks a failed Program wrote) may not fit
  // the label: the status bar holds it as well.
  if (s.Red && s.Visible && Utf8(s.Text) != label->text()) {
    linkError_ = Utf8(s.Text);
    statusBar->showMessage(linkError_);
  } else if (!s.Red && !linkError_.isEmpty()) {
    // A new transfer's result replaces the old one everywhere it shows.
    if (statusBar->currentMessage() == linkError_) statusBar->clearMessage();
    linkError_.clear();
  }
  label->setText(Utf8(s.Text));
  SetBackground(label, s.Red ? Colour::Red : Colour::Normal);
  label->setVisible(s.Visible);
  controls_.TransferGauge->SetProgress(s.GaugePosition);
  controls_.TransferGauge->setVisible(s.GaugeVisible);
  controls_.ConnectionLabel->setVisible(s.NoConnectionVisible);
  controls_.VersionLabel->setVisible(s.VersionVisible);
  controls_.PortLabel->setText(Utf8(s.LabelCom));
  if (controls_.DiagnoseButton) controls_.DiagnoseButton->setVisible(s.PortFailed);
  const auto& ports = controls_.PortActions;
  for (int i = 0; i < static_cast<int>(ports.size()); ++i) ports[i]->setChecked(i == s.CheckedComItem);
}

void ViewApplier::ApplyIdentity(const IdentityTexts& id) {
  auto& labels = controls_.IdentityLabels;
  labels[0]->setText(Utf8(id.Name));
  labels[1]->setText(Utf8(id.Date));
  labels[2]->setText(Utf8(id.Time));
  // No empty box where the unit's identity will be once it is received.
  labels[0]->parentWidget()->setVisible(!(id.Name.empty() && id.Date.empty() && id.Time.empty()));
}

void ViewApplier::ApplyHighlight(HighlightBits& shown, const HighlightSet& next, MapSelection* selection) {
  velmor::ApplyHighlight(shown, next, [&](int id, bool lit) {
    QWidget* w = controls_.HighlightWidgets[id];
    if (!w) return;
    if (HighlightKindOf(id) == HighlightKind::BoldCaption) {
      QFont f = w->font();
      f.setBold(lit);
      w->setFont(f);
    } else if (lit || !selection || !selection->RestoreCellColour(w)) {
      SetBackground(w, lit ? Colour::Lime : (HighlightKindOf(id) == HighlightKind::Edit ? Colour::Window : Colour::Normal));
    }
  });
}

}  // namespace velmor::ui
