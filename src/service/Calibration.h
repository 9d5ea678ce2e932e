#pragma once
// Calibration of the UPS's voltage measurements. The engineer types the true value of a channel;
// it is written, as a scaled integer, to the channel's calibration register and the UPS derives its
// own correction from it. One table row per channel drives the page (display box, entry box,
// button), the checks and the write; the functions below are the page's decisions.

#include "link/RegisterStore.h"

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace zav {

enum class CalTab { Module = 0, Cabinet = 1, Transformer = 2 };
enum class CalKind { Ac, Dc, Transformer }; // range, scale and hint of the entry

struct CalibrationRow {
    CalTab tab;
    const char* display; // display box; on the transformer tab it is hidden
    int displayReg;      // LiveData register (settings register on the transformer tab); 0 = none
    const char* entry;   // entry box
    const char* button;
    uint16_t reg; // calibration register the true value is written to
    CalKind kind;
    const char* caption[3];
};

const std::vector<CalibrationRow>& calibrationRows();
const CalibrationRow* calibrationRowForButton(const QString& button);
const CalibrationRow* calibrationRowForRegister(int reg);

// The tabs a model has and the one shown first.
bool modelHasCalTab(int upsModel, CalTab tab);
CalTab firstCalTab(int upsModel);

// Result of the check of an entry: the word to write, or the message row to show.
struct CalibrationEntry {
    enum Error { None, NoData, CheckValue } error = None;
    uint16_t value = 0;
};
// DecimalTextToScaled with 2 decimals for the DC rows and 1 for the others, then the range of the
// row: 1000..3000 (AC), -300..300 signed (DC), at most 4000 (transformer).
CalibrationEntry checkCalibrationEntry(const CalibrationRow& row, const QString& text);

// No settings block holds a calibration register, so SettingData has no reading for it and the
// write sequence's skip rule ("the UPS already holds this value") must not drop the write: a true
// value of 0 V (a DC offset, a transformer row) would never be sent. This marks the register as
// differing and returns the word to put back when the write has ended.
uint16_t markCalibrationUnread(RegisterStore& SettingData, const CalibrationRow& row, uint16_t value);

// Keys the entry boxes take: digits, "+", one "." or ",", and "-" on the DC rows.
bool calibrationKeyAccepted(CalKind kind, QChar key, const QString& current);
QString calibrationHint(CalKind kind, int language);
// The box of a refused entry: the common message, and for a value out of range a second line with
// the range the check applies ("Allowed: 100.0 ~ 300.0 V"), so the engineer need not guess.
QString calibrationEntryMessage(CalibrationEntry::Error error, CalKind kind, int language);

// ModVoltAdjDisplay. `texts` holds a new text for each display box when the boxes follow the
// live data; empty when they keep their text.
struct CalDisplay {
    std::vector<std::pair<const char*, QString>> texts;
    QString label; // Label47 or Label63
};
CalDisplay modVoltAdjDisplay(int upsModel, const RegisterStore& LiveData, int language);
// CabVoltAdjDisplay: cabinet boxes (emptied when calibration is not possible) and Label63.
CalDisplay cabVoltAdjDisplay(int upsModel, const RegisterStore& LiveData, const RegisterStore& LiveStatus,
                             int language);
// The hidden transformer boxes: settings registers 407 to 410.
CalDisplay transformerDisplay(const RegisterStore& SettingData);

// The checked value as the engineer typed it, from its word ("220.5", "-1.50").
QString calibrationValueText(const CalibrationRow& row, uint16_t value);
// Asked before every calibration write: the channel and the true value it gets.
QString calibrationQuestion(const CalibrationRow& row, uint16_t value, int language);

// Texts of the page: tab titles, column heads.
QString calibrationPageText(const char* key, int language);

} // namespace zav
