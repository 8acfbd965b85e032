#include "VirtualKeys.h"

#include <QKeyEvent>

#include <unordered_map>

namespace {
// Keys whose Windows codes do not follow from a range. Punctuation follows the US layout,
// where the shifted character shares its key's code.
const std::unordered_map<int, int>& KeyTable()
{
    static const std::unordered_map<int, int> table = {
        {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},
        {Qt::Key_Clear, 12},     {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},     {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20},  {Qt::Key_Escape, 27},
        {Qt::Key_Space, 32},     {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},       {Qt::Key_Home, 36},      {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},        {Qt::Key_Right, 39},     {Qt::Key_Down, 40},
        {Qt::Key_Select, 41},    {Qt::Key_Printer, 42},   {Qt::Key_Execute, 43},
        {Qt::Key_Print, 44},     {Qt::Key_Insert, 45},    {Qt::Key_Delete, 46},
        {Qt::Key_Help, 47},      {Qt::Key_Meta, 91},      {Qt::Key_Super_L, 91},
        {Qt::Key_Super_R, 92},   {Qt::Key_Menu, 93},      {Qt::Key_Sleep, 95},
        {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145},
        {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},   {Qt::Key_Equal, 187},
        {Qt::Key_Plus, 187},     {Qt::Key_Comma, 188},    {Qt::Key_Less, 188},
        {Qt::Key_Minus, 189},    {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},
        {Qt::Key_Greater, 190},  {Qt::Key_Slash, 191},    {Qt::Key_Question, 191},
        {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
        {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
        {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
        {Qt::Key_QuoteDbl, 222},
        // Shifted digits of the US layout report their digit key.
        {Qt::Key_Exclam, '1'},   {Qt::Key_At, '2'},       {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},   {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
        {Qt::Key_ParenRight, '0'},
    };
    return table;
}

// Operators of the numeric keypad.
int KeypadOperator(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period: return 110;
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}
}  // namespace

int VirtualKeyFromQtKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;  // '0'..'9' or VK_NUMPAD0..9
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;  // 'A'..'Z'
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (keypad) {
        if (const int code = KeypadOperator(qtKey))
            return code;
    }
    const auto& table = KeyTable();
    const auto found = table.find(qtKey);
    return found == table.end() ? 0 : found->second;
}

int VirtualKeyCode(const QKeyEvent& event)
{
    return VirtualKeyFromQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}
