// korvane-screen-check: what a screenshot of the saver shows, for the end-to-end tests and the
// benchmarks under Wine. Screenshots are binary PPM files (`import -window root -depth 8 x.ppm`).
//
//   korvane-screen-check green SHOT [X Y W H]   clearly green pixels (in that area)
//   korvane-screen-check spread SHOT            percentages of the 16 x 24 grid's columns and
//                                               rows in which glyphs show: "COLUMNS ROWS"
//   korvane-screen-check magenta SHOT           magenta pixels
//   korvane-screen-check white SHOT [X Y W H]   white (or nearly white) pixels (in that area)
//   korvane-screen-check changed SHOT SHOT [X Y W H]
//                                               pixels in which two screenshots differ
//   korvane-screen-check colors SHOT            distinct colours
//   korvane-screen-check match --depth 24|16|8 [--from A] [--min-lit N] [--still-gap G]
//                       <simulator options: --width --height --frames, switches...> SHOT...
//
// match runs the real show over memory pages, as the simulator does, and compares each
// frame's finished back buffer with every screenshot still unmatched, in one pass over the
// frames. A match counts only when the frame is not trivial: at least N lit cells (20) and a
// picture that differs from the frame G frames earlier (30), so a black wipe or a still hold
// cannot pass. It prints one line per screenshot and exits 0 when every screenshot matched
// such a frame, 1 when one did not. Every command exits 2 for bad arguments.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "frontend/memory_show.h"
#include "frontend/option_values.h"
#include "frontend/program_info.h"
#include "show/frame_tick.h"
#include "show/headless_show_display.h"
#include "show/recording_sound_player.h"
#include "show/show.h"
#include "tools/sim/screen_picture.h"
#include "tools/sim/sim_options.h"

namespace korvane {
namespace {

constexpr int kNoMatch = 1;
constexpr int kBadArguments = 2;

constexpr char kUsage[] =
    "usage: korvane-screen-check COMMAND ARGUMENTS\n"
    "       korvane-screen-check --help | --version\n"
    "What a screenshot of the saver shows. Screenshots are binary PPM files.\n"
    "\n"
    "  green SHOT [X Y W H]         clearly green pixels (in that area)\n"
    "  white SHOT [X Y W H]         white or nearly white pixels (in that area)\n"
    "  magenta SHOT                 magenta pixels\n"
    "  colors SHOT                  distinct colours\n"
    "  spread SHOT                  the percentages of the grid's columns and rows with glyphs\n"
    "  changed SHOT SHOT [X Y W H]  pixels in which two screenshots differ\n"
    "  match --depth 24|16|8 [--from A] [--min-lit N] [--still-gap G]\n"
    "        SIMULATOR-OPTIONS SHOT...\n"
    "                               the frame of the show each screenshot shows\n"
    "\n"
    "Exit status: 0 when answered, 1 when a screenshot matches no frame, 2 for bad arguments.\n";

struct MatchOptions {
    int32_t depth = 24;
    int32_t from = 0;
    int32_t minLit = 20;
    int32_t stillGap = 30;
    std::vector<std::string> screenshots;
};

struct Candidate {
    ScreenComparison comparison;
    std::string path;
    int32_t frame = -1;  // the first non-trivial frame that matched
    int32_t trivialFrame = -1;
    int32_t lit = 0;
};

bool ParseNumber(const std::string& text, int32_t& value) {
    return ParseWholeNumber(text, value) && value >= 0;
}

// Takes the matcher's own options and screenshots out of the arguments and leaves the
// simulator's options for the simulator's parser.
bool ParseMatchOptions(std::vector<std::string>& arguments, MatchOptions& options,
                       std::string& error) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        int32_t* number = nullptr;
        if (name == "--depth") {
            number = &options.depth;
        } else if (name == "--from") {
            number = &options.from;
        } else if (name == "--min-lit") {
            number = &options.minLit;
        } else if (name == "--still-gap") {
            number = &options.stillGap;
        }
        if (number != nullptr) {
            if (i + 1 >= arguments.size() || !ParseNumber(arguments[i + 1], *number)) {
                error = "option " + name + " needs a non-negative whole number";
                return false;
            }
            ++i;
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ppm") == 0) {
            options.screenshots.push_back(name);
        } else {
            rest.push_back(name);
            // The simulator's options that take a value keep it.
            if ((name == "--width" || name == "--height" || name == "--frames" ||
                 name == "--message-file" || name == "--phone-number") &&
                i + 1 < arguments.size()) {
                rest.push_back(arguments[++i]);
            }
        }
    }
    if (options.depth != 8 && options.depth != 16 && options.depth != 24) {
        error = "--depth must be 8, 16 or 24";
        return false;
    }
    if (options.screenshots.empty()) {
        error = "no screenshot (.ppm) given";
        return false;
    }
    if (options.stillGap < 1) {
        error = "--still-gap must be at least 1";
        return false;
    }
    arguments = std::move(rest);
    return true;
}

int Match(std::vector<std::string> arguments) {
    MatchOptions match;
    SimOptions sim;
    std::string error;
    if (!ParseMatchOptions(arguments, match, error) || !ParseSimOptions(arguments, sim, error)) {
        std::fprintf(stderr, "korvane-screen-check: %s\n", error.c_str());
        return kBadArguments;
    }
    if (sim.info != InfoRequest::kNone) {
        return AnswerInfoRequest(sim.info, "korvane-screen-check", kUsage);
    }
    if (int64_t{sim.width} * sim.height > kSimMaxPicturePixels) {
        std::fprintf(stderr, "korvane-screen-check: screen size too large\n");
        return kBadArguments;
    }
    IndexedBitmap sheet;
    if (!ReadBitmapFile(KORVANE_GLYPH_SHEET, sheet)) {
        std::fprintf(stderr, "korvane-screen-check: cannot read the glyph sheet '%s'\n",
                     KORVANE_GLYPH_SHEET);
        return kBadArguments;
    }

    std::vector<Candidate> candidates;
    for (const std::string& path : match.screenshots) {
        ScreenPicture screen;
        if (!ReadPpm(path, screen, error)) {
            std::fprintf(stderr, "korvane-screen-check: %s\n", error.c_str());
            return kBadArguments;
        }
        if (screen.width != sim.width || screen.height != sim.height) {
            std::fprintf(stderr, "korvane-screen-check: '%s' is %dx%d, the show %dx%d\n",
                         path.c_str(), screen.width, screen.height, sim.width, sim.height);
            return kBadArguments;
        }
        candidates.push_back({ScreenComparison(screen, match.depth, sheet), path});
    }

    ShowEventLog log;
    RecordingSoundPlayer sound(log);
    Show show(sound);
    ApplySimOptions(sim, show.settings);
    CreateShowGridForScreen(show, sim.width, sim.height, sim.cellScale);
    const std::unique_ptr<MemoryDisplay> pages =
        MakeShowPages(show, sim.width, sim.height, sheet, sim.cellScale);
    show.display = pages.get();

    // Fingerprints of the last stillGap + 1 frames; before the show, the screen is black.
    const uint64_t black = PictureFingerprint(pages->backBuffer);
    std::vector<uint64_t> recent(static_cast<size_t>(match.stillGap) + 1, black);
    size_t unmatched = candidates.size();
    for (int32_t t = 0; t < sim.frames && unmatched > 0; ++t) {
        log.Clear();
        FrameTick(show, t);
        const uint64_t fingerprint = PictureFingerprint(pages->backBuffer);
        recent[static_cast<size_t>(t) % recent.size()] = fingerprint;
        if (t < match.from) {
            continue;
        }
        const uint64_t earlier =
            recent[static_cast<size_t>(t + 1) % recent.size()];  // frame t - stillGap
        for (Candidate& candidate : candidates) {
            if (candidate.frame >= 0 || !candidate.comparison.Matches(pages->backBuffer)) {
                continue;
            }
            const int32_t lit = CountLitCells(pages->backBuffer);
            if (lit >= match.minLit && fingerprint != earlier) {
                candidate.frame = t;
                candidate.lit = lit;
                --unmatched;
            } else if (candidate.trivialFrame < 0) {
                candidate.trivialFrame = t;
                candidate.lit = lit;
            }
        }
    }

    int status = 0;
    for (const Candidate& candidate : candidates) {
        if (candidate.frame >= 0) {
            std::printf("%s: frame %d, %d lit cells\n", candidate.path.c_str(), candidate.frame,
                        candidate.lit);
        } else if (candidate.trivialFrame >= 0) {
            std::printf("%s: only trivial frame %d (%d lit cells, or still for %d frames)\n",
                        candidate.path.c_str(), candidate.trivialFrame, candidate.lit,
                        match.stillGap);
            status = kNoMatch;
        } else {
            std::printf("%s: no frame in %d..%d\n", candidate.path.c_str(), match.from,
                        sim.frames - 1);
            status = kNoMatch;
        }
    }
    return status;
}

bool ReadScreen(const std::string& path, ScreenPicture& screen) {
    std::string error;
    if (!ReadPpm(path, screen, error)) {
        std::fprintf(stderr, "korvane-screen-check: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The area X Y W H of the arguments from `first` on, clipped to the screen; all of it when
// none is given.
bool ReadArea(const std::vector<std::string>& arguments, size_t first, const ScreenPicture& screen,
              ScreenArea& area) {
    area = {0, 0, screen.width, screen.height};
    if (arguments.size() == first) {
        return true;
    }
    int32_t values[4];
    if (arguments.size() != first + 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!ParseNumber(arguments[first + i], values[i])) {
            return false;
        }
    }
    area = {values[0], values[1], values[2], values[3]};
    return true;
}

int Run(std::vector<std::string> arguments) {
    const std::string command = arguments.empty() ? "" : arguments.front();
    InfoRequest info = InfoRequest::kNone;
    if (TakeInfoRequest(command, info)) {
        return AnswerInfoRequest(info, "korvane-screen-check", kUsage);
    }
    if (command == "match") {
        return Match(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    }
    if (command == "changed" && arguments.size() >= 3) {
        ScreenPicture before;
        ScreenPicture after;
        ScreenArea area;
        if (!ReadScreen(arguments[1], before) || !ReadScreen(arguments[2], after)) {
            return kBadArguments;
        }
        if (before.width != after.width || before.height != after.height ||
            !ReadArea(arguments, 3, before, area)) {
            std::fprintf(stderr,
                         "korvane-screen-check: changed SHOT SHOT [X Y W H], shots of one size\n");
            return kBadArguments;
        }
        std::printf("%lld\n", static_cast<long long>(CountChangedPixels(before, after, area)));
        return 0;
    }
    ScreenPicture screen;
    if ((command == "green" || command == "white" || command == "spread" || command == "colors" ||
         command == "magenta") &&
        arguments.size() >= 2) {
        if (!ReadScreen(arguments[1], screen)) {
            return kBadArguments;
        }
        if (command == "green" || command == "white") {
            ScreenArea area;
            if (!ReadArea(arguments, 2, screen, area)) {
                std::fprintf(stderr, "korvane-screen-check: %s SHOT [X Y W H]\n", command.c_str());
                return kBadArguments;
            }
            const int64_t count = command == "green" ? CountGreenPixels(screen, area)
                                                     : CountWhitePixels(screen, area);
            std::printf("%lld\n", static_cast<long long>(count));
            return 0;
        }
        if (command == "spread" && arguments.size() == 2) {
            const GlyphSpread spread = MeasureGlyphSpread(screen);
            std::printf("%d %d\n", spread.columnPercent, spread.rowPercent);
            return 0;
        }
        if (command == "magenta" && arguments.size() == 2) {
            std::printf("%lld\n", static_cast<long long>(CountMagentaPixels(screen)));
            return 0;
        }
        if (command == "colors" && arguments.size() == 2) {
            std::printf("%zu\n", CountColors(screen));
            return 0;
        }
    }
    std::fputs(kUsage, stderr);
    return kBadArguments;
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    return korvane::Run(std::vector<std::string>(argv + 1, argv + argc));
}
