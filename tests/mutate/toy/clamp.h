#pragma once

int clampToTen(int value);
int& larger(int& a, int& b);
