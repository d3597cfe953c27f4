#include "dialogue.h"

int main() { return run_dialogue(); }
