#include "Program.h"

#include "Clock.h"
#include "EventSource.h"
#include "LabelLanguage.h"
#include "Layout.h"
#include "LoopWait.h"
#include "Rects.h"
#include "TrackRecorder.h"
#include "Version.h"

#include <algorithm>
#include <cstdio>

const char* const Program::version = Version::number;
const char* const Program::settingsFile = "tessel.conf";
const char* const Program::authorship = "Tessel offline maps, free software";

namespace {

Settings readSettings(const ConfParser& conf)
{
    Settings settings;
    settings.batteryFound = Battery::found();
    settings.readFrom(conf);
    return settings;
}

// Writes the version and authorship into the start-up picture and shows it
// for 100 ms, before the settings are read.
bool showStartupPicture(Splash* splash, const Fonts& fonts)
{
    splash->drawText(Layout::versionBox, 9, fonts.text, true, Layout::amber, std::string("Ver. ") + Program::version);
    splash->drawText(Layout::authorshipBox, 36, fonts.text, true, Layout::amber, Program::authorship);
    splash->show(100);
    return true;
}

} // namespace

Program::Program(SDL_Surface* screen, const Fonts& fonts, EventSource* events, Clock* clock)
    : screen(screen), fonts(fonts), splash(Layout::splashImage, screen, clock),
      splashShown(showStartupPicture(&splash, fonts)), settings(ConfParser::recovered(settingsFile)), fps(clock),
      battery(screen, &fps, Layout::batteryBox, Layout::batteryImages[0], Layout::batteryImages[1],
              Layout::batteryImages[2], Layout::batteryImages[3]),
      toolBar(screen), notification(screen, &fps), options(readSettings(settings)), lang(options.language, &settings),
      mapUI(&map, screen, &lang),
      gps(GpsControls::Parts{&map, &menu, &toolBar, &notification, &lang, &settings, &options, &tracks, &trackPage,
                             clock}),
      route(RouteControls::Parts{&map, &menu, &notification, &lang, &settings, &options, &gps.live, clock}),
      figures(FiguresScreen::Parts{&map, &menu, &tracks, &lang, &notification}),
      screenParts(ScreenParts::of(*this)), damage(screen, &screenParts),
      input(&map, &menu, &toolBar, &notification, screen->w, screen->h),
      commands(Commands::Parts{screen, &map, &menu, &toolBar, &notification, &lang, &settings, &options, &fps, &pages,
                               &mapUI, &tracks, &trackPage, &panning, &damage, &gps, &route}),
      find(Find::Parts{screen, &fonts, &map, &menu, &toolBar, &notification, &lang, &gps.live, &options, &waker}),
      events(events)
{
    fps.setLimit(options.fpsLimit);
    toolBar.setIconText(Layout::iconTextBox, 17, fonts.text, Layout::amber);
    toolBar.addImage(Layout::toolBarBox, Layout::toolBarImage);
    toolBar.area = Layout::toolBarBox;
    notification.bgFormat(Layout::notificationBox, Layout::notificationImage, Layout::notificationTextBox, 18,
                          fonts.text, Layout::amber);
    notification.wrapFormat(Layout::notificationPlate, Layout::notificationRim, Layout::toolBarBox.y);
    if (!settings.recoveredFrom.empty()) {
        std::fprintf(stderr, "tessel: %s\n", settings.recoveryNote().c_str());
        notification.tell(lang.value("file_recovered") + " " + settingsFile, 2 * Layout::messageMs);
    }
    buildMenu();
    attribution.format(Layout::attributionBox, 9, fonts.small, Layout::black);
    fps.setText(screen, Layout::fpsBox, 12, fonts.small, Layout::black);
    buildToolBar();
    pages.build(&menu, &lang, &mapUI, settings, options);
    if (mapUI.packageCaptions.empty())
        tellWherePackagesGo();
    loadTracks();
    figures.tracksPage = trackPage.page;
    trackPage.openFigures = [this](int file) { figures.open(static_cast<std::size_t>(file), fps.ticks()); };
    gps.build(pages.options);
    route.build(pages.mapOptions);
    // The first state: menu closed, toolbar shown, no package open.
    menu.visible = false;
    toolBar.visible = true;
    panning.speed = options.moveSpeed;
    map.pipeline.cache.setLimit(static_cast<std::size_t>(options.tileCacheKb) * 1024);
    map.pipeline.parents = options.missingParents;
    LabelLanguage::choose(static_cast<LabelLanguage::Choice>(options.labelLanguage));
    map.pipeline.setMode(options.backgroundLoading ? TilePipeline::Mode::background : TilePipeline::Mode::synchronous);
    map.pipeline.onFinished([this] { waker.wake(); });
    trackReader.onRead([this] { waker.wake(); });
    gps.live.onChange = [this] { waker.wake(); };
    route.onFinished = [this] { waker.wake(); };
    find.build(pages.mapOptions);
    find.routeTo = [this](double lat, double lon) { return route.routeTo(lat, lon); };
    commands.extraAction = [this](int action) { return find.toolAction(action); };
    commands.extraChoice = [this](int page, int line) { return find.choose(page, line); };
}

Program::~Program()
{
    if (!settings.save())
        std::fprintf(stderr, "tessel: cannot write %s; the changed settings are lost\n", settingsFile);
}

void Program::buildMenu()
{
    menu.create(screen, Layout::menuLinesBox, 18, fonts.text,
                LineColours{Layout::normalGrey, Layout::amber, Layout::disabledGrey, Layout::selectedDisabledAmber});
    menu.area = Layout::menuBox;
    menu.heading(Layout::menuHeadingBox, TextStyle{fonts.heading, Layout::amber, 18});
    menu.scrollbar(Layout::scrollbarBox, Layout::scrollbarImages[0], Layout::scrollbarImages[1],
                   Layout::scrollbarImages[2], Layout::scrollbarImages[3]);
    menu.loadBackground(Layout::menuBox, Layout::menuImage);
}

// The icons in the order of their actions, so that an icon's add order is
// its action.
void Program::buildToolBar()
{
    for (const Layout::Icon& icon : Layout::icons) {
        const std::string file = std::string("media/icon_") + icon.image;
        toolBar.addIcon(icon.box, icon.action, 0, icon.action, file + ".png", file + "-d.png", file + "-a.png",
                        lang.value(icon.textId), icon.needsMap);
    }
}

bool Program::pass()
{
    SDL_Event event;
    // The figures page takes its own keys, unless a message waits for one.
    if (events->poll(&event) && !find.takeEvent(event) && !route.cancelKey(event) &&
        (notification.waiting() || !figures.handle(event)))
        commands.perform(input.route(event));
    figures.update(fps.ticks());
    panning.step(&map, &fps);
    map.update();
    const std::string report = mapUI.takeReports();
    if (!report.empty())
        notification.tell(report, 2 * Layout::messageMs);
    gps.update();
    route.update();
    find.update();
    takeTracks();
    notification.update();
    present();
    fps.refresh();
    return !commands.quit;
}

int Program::run()
{
    while (pass())
        rest();
    return 0;
}

void Program::rest()
{
    const int ms = LoopWait::msUntilDue(*this, fps.ticks());
    if (ms == 0)
        return;
    events->wait(ms, &waker);
    // The time asleep is no frame's: a pan that starts now moves by one
    // frame's distance.
    fps.resume();
}

// The GPX files of tracks/ are queued here and read off the frame;
// takeTracks() shows them as they are read.
void Program::loadTracks()
{
    // A recording cut by a crash or power loss is closed after its last
    // whole point; say so where the user looks, too.
    for (const std::string& name : TrackRecorder::repairAll("tracks")) {
        std::printf("tessel: %s was cut short; closed after its last whole point\n", name.c_str());
        notification.tell(lang.value("recording_repaired") + " " + name.substr(name.rfind('/') + 1), 6000);
    }
    trackPage.build(&menu, &lang, pages.mapOptions, tracks);
    // The waypoints file is the search's own, drawn and listed by it.
    std::vector<std::string> files = Tracks::listFiles("tracks");
    files.erase(std::remove(files.begin(), files.end(), std::string(Find::waypointsFile)), files.end());
    trackReader.read(files, false);
    tracksMode = options.backgroundLoading ? TilePipeline::Mode::background : TilePipeline::Mode::synchronous;
}

// Files read since the last pass join the map and the tracks page; one
// that could not be read whole is named in the notification (its good
// part is shown) and on standard error, and a large one is announced while
// it is read.
void Program::takeTracks()
{
    if (tracksMode == TilePipeline::Mode::background)
        trackReader.read({}, true);
    while (tracksMode == TilePipeline::Mode::synchronous && trackReader.step()) {
    }
    std::string path;
    long long bytes = 0;
    if (trackReader.busy(&path, &bytes) && bytes > (1 << 20) && path != trackAnnounced) {
        trackAnnounced = path;
        notification.tell(lang.value("track_reading") + " " + path.substr(path.rfind('/') + 1), 4000);
    }
    std::vector<TrackReader::Result> read = trackReader.take();
    if (read.empty())
        return;
    // The notice that a file is being read ends once it is read.
    const std::string reading = lang.value("track_reading") + " " + trackAnnounced.substr(trackAnnounced.rfind('/') + 1);
    if (!trackAnnounced.empty() && notification.bgText == reading && path != trackAnnounced)
        notification.dismiss();
    std::string hidden;
    settings.stringValue("tracks_hidden", &hidden);
    for (TrackReader::Result& r : read) {
        if (!r.problem.empty()) {
            std::fprintf(stderr, "tessel: track %s\n", r.problem.c_str());
            notification.tell(lang.value("track_problem") + " " + r.problem, 6000);
        }
        if (r.file.data.points() == 0)
            continue;
        tracks.add(std::move(r.file));
        TrackPage::applyHidden(hidden, &tracks);
        trackPage.addFile(&menu, &lang, tracks, tracks.files.size() - 1);
    }
    trackPage.refresh(&menu, &lang, tracks);
}

// A first start has no packages: say where they go, on screen and on
// standard output (the screen's line may be too short for the path).
void Program::tellWherePackagesGo()
{
    const std::string maps = MapUI::mapsFolder();
    notification.tell(lang.value("packages_go_in") + " " + maps, 8000);
    std::printf("tessel: no map packages yet: put them in %s\n", maps.c_str());
}

void Program::present()
{
    if (fullRedraw)
        damage.forget();
    const std::vector<SDL_Rect> boxes = damage.damaged();
    if (boxes.empty())
        return;
    SDL_Rect clip = boxes[0];
    for (const SDL_Rect& box : boxes)
        clip = unite(clip, box);
    SDL_SetClipRect(screen, &clip);
    draw();
    SDL_SetClipRect(screen, nullptr);
    damage.shown(clip);
    if (showBox)
        showBox(clip);
    else
        SDL_UpdateRects(screen, 1, &clip);
}

void Program::draw()
{
    for (const ScreenPart& part : screenParts)
        part.draw();
}
