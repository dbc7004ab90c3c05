// The placeholder of the street combos of the two search pages: "Улица" in
// grey while no street is chosen. Entering the combo clears it (even a chosen
// street, so the user starts typing afresh); leaving it empty puts "Улица"
// back. The colour follows the text: grey exactly while it is the placeholder.
// Typing filters the street list in a completer as it goes, forgiving the
// other keyboard layout, Latin letters and slips (StreetMatcher).
#pragma once

#include "StreetMatcher.h"

#include <QObject>
#include <QString>

class QComboBox;
class QCompleter;
class QStringListModel;

inline constexpr const char* kStreetPlaceholder = "Улица";

// True when the combo's text names a street to search for.
bool StreetGiven(const QString& comboText);

class StreetCombo : public QObject {
    Q_OBJECT
public:
    // Watches `combo` (an editable combo box) for its whole life and shows
    // the placeholder at once.
    explicit StreetCombo(QComboBox& combo);

    // The street list of the map as the drop-down list; the text stays the placeholder.
    void SetStreets(const QStringList& streets);
    // What the reset buttons do.
    void ShowPlaceholder();
    // The handlers of entering and leaving the combo.
    void Enter();
    void Exit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followText();
    void filterStreets(const QString& typed);

    QComboBox& combo_;
    StreetMatcher streets_;
    QStringListModel* shown_;
    QCompleter* completer_;
};
