#ifndef TESSEL_FIGURESPANEL_H
#define TESSEL_FIGURESPANEL_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class FiguresPage;
class Lang;
class Map;

// Draws a FiguresPage: a panel across the top of the screen with the
// figures in three columns and the elevation profile under them (round
// elevation steps on the left, the distance under it, the cursor as a red
// line with its distance and elevation), and the cursor's point as a red
// square on the map below.
namespace FiguresPanel {

extern const SDL_Rect panel;   // the whole panel
extern const SDL_Rect profile; // the profile's columns, FiguresPage::columns wide
// The part of the screen that shows the map while the panel is up.
extern const SDL_Rect mapRoom;

void draw(SDL_Surface* screen, TTF_Font* font, const Lang& lang, const FiguresPage& page, bool blended);
// The marker's box on the screen (empty when the map cannot show it).
SDL_Rect markerBox(const FiguresPage& page, const Map& map);
void drawMarker(SDL_Surface* screen, const FiguresPage& page, const Map& map);

// "12.3 km", "850 m"; "1:02:03"; "4.5 km/h"; "1234 m"; "–" for NaN.
std::string distance(double metres);
std::string clock(double seconds);
std::string speed(double metresPerSecond);
std::string height(double metres);

} // namespace FiguresPanel

#endif
