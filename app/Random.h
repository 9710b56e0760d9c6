// The program's one random-number generator. The main window seeds it from
// the clock once per run (Randomize); the quiz shuffle draws from it.
#pragma once

#include <random>

std::mt19937& RandomGenerator();
void Randomize();
