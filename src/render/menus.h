#pragma once

// The main menu (also the pause screen), the options and the help screen, by menuScreen.
// While selecting, only the clickable panels and arrows are drawn (with their names).
void drawMenuScreens(int selecting);
