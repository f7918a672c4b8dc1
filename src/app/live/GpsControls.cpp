#include "GpsControls.h"

#include "ConfParser.h"
#include "Lang.h"
#include "Layout.h"
#include "Map.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Notification.h"
#include "Settings.h"
#include "ToolBar.h"
#include "TrackPage.h"
#include "Tracks.h"

#include <cstdio>

void GpsControls::build(int options)
{
    optionsPage = options;
    Menu& menu = *parts.menu;
    Lang& lang = *parts.lang;
    optionsLine = menu.model.addItem(optionsPage, MenuLine::gps, lang.value("gps"), false);
    page = menu.model.createMenu(lang.value("gps"), optionsPage, 0);
    menu.model.addItem(page, MenuLine::gpsOn, lang.value("gps_on"), false);
    menu.model.addItem(page, MenuLine::gpsOff, lang.value("gps_off"), false);
    // The tracks page has the recording's line even without files.
    TrackPage& tracks = *parts.trackPage;
    recordLine = menu.model.addItem(tracks.page, MenuLine::recordTrack, lang.value("record_track"), false);
    menu.model.activateItem(tracks.mapOptions, tracks.line);
    refreshLines();
}

void GpsControls::start(const std::string& override, bool ownThread)
{
    threaded = ownThread;
    const std::string& text = override.empty() ? parts.options->gps : override;
    GpsAddress wanted;
    if (!wanted.parse(text)) {
        std::fprintf(stderr, "tessel: gps=%s is neither off nor HOST:PORT; the live position is off\n", text.c_str());
        wanted.off = true;
    }
    if (!wanted.off)
        address = wanted;
    userChoseGps = !override.empty() || text != Settings().gps;
    live.start(wanted, "tracks", parts.options->recordTrack, parts.clock, threaded);
    lastLink = GpsStatus::off;
    refreshLines();
}

void GpsControls::update()
{
    const std::string problem = live.update(parts.map);
    if (!problem.empty())
        parts.notification->tell(parts.lang->value("recording_stopped") + " " + problem, 2 * Layout::messageMs);
    tellLinkChange();
    const auto icon = parts.toolBar->findIcon(ToolAction::follow);
    const bool disabled = !live.on() || !parts.map->loaded();
    if (icon != parts.toolBar->icons.end() && icon->disabled != disabled)
        icon->disabled = disabled;
    refreshLines();
}

// gpsd gone: said once, until it is back. gpsd not found at the first try
// is said only to a user who chose an address or switched the link on;
// otherwise the indicator's ring says it.
void GpsControls::tellLinkChange()
{
    const GpsStatus::Link link = live.status.link;
    if (link == lastLink)
        return;
    const bool lost = lastLink == GpsStatus::connected;
    if (link == GpsStatus::waiting && lastLink != GpsStatus::waiting && (lost || userChoseGps)) {
        const char* id = lost ? "gps_lost" : "gps_absent";
        parts.notification->tell(parts.lang->value(id) + " " + addressText(), 2 * Layout::messageMs);
    }
    lastLink = link;
}

bool GpsControls::choose(int shown, int line)
{
    if (shown == optionsPage && line == MenuLine::gps) {
        parts.menu->model.switchMenu(page);
    } else if (shown == page) {
        switchLink(line == MenuLine::gpsOn);
        parts.menu->model.switchMenu(optionsPage);
    } else if (shown == parts.trackPage->page && line == MenuLine::recordTrack) {
        switchRecording();
    } else {
        return false;
    }
    shownState = -1; // the menu copied the chosen line into its parent's value
    refreshLines();
    return true;
}

void GpsControls::switchLink(bool on)
{
    if (on == live.on())
        return;
    GpsAddress wanted = address;
    wanted.off = !on;
    live.start(wanted, "tracks", live.recording(), parts.clock, threaded);
    lastLink = GpsStatus::off;
    userChoseGps = true;
    parts.settings->setValue("gps", on ? addressText() : std::string("off"));
}

void GpsControls::switchRecording()
{
    live.setRecording(!live.recording());
    parts.settings->setValue("record_track", live.recording() ? "yes" : "no");
    parts.trackPage->refresh(parts.menu, parts.lang, *parts.tracks);
}

// The state's line and the recording's value, when they changed.
void GpsControls::refreshLines()
{
    const GpsStatus& status = live.status;
    const long key = ((static_cast<long>(status.fix.satellites) * 8 + static_cast<long>(status.fix.mode)) * 4 +
                      static_cast<long>(status.link)) * 8 + (live.stale ? 4 : 0) + (live.on() ? 2 : 0) +
                     (live.recording() ? 1 : 0);
    if (key == shownState)
        return;
    shownState = key;
    Lang& lang = *parts.lang;
    parts.menu->model.changeValue(optionsPage, optionsLine, live.stateText(&lang));
    parts.menu->model.changeValue(parts.trackPage->page, recordLine, lang.value(live.recording() ? "yes" : "no"));
}

std::string GpsControls::addressText() const
{
    const bool bracketed = address.host.find(':') != std::string::npos;
    return (bracketed ? "[" + address.host + "]" : address.host) + ":" + address.port;
}
