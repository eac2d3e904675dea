#pragma once
// The seven views by number, through their accessors (created hidden on first reference).
class VisWindow;
class FormWindow;

constexpr int kVisWindowCount = 7;

VisWindow* visWindow(int k);   // k = 1..7
FormWindow* visForm(int k);

// Tests put a recording view in place of view k (nullptr restores the real one).
void overrideVisWindow(int k, VisWindow* view);
