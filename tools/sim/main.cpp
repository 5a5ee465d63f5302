// korvane-sim: the show without a screen. Runs the real frame tick over a headless display
// and a sound recorder and writes what happened, frame by frame; asked for a picture, it
// draws into memory pages as the saver draws on screen.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "display/indexed_bitmap.h"
#include "display/memory_display.h"
#include "frontend/memory_show.h"

#include "show/frame_tick.h"
#include "show/headless_show_display.h"
#include "show/recording_sound_player.h"
#include "show/show.h"
#include "tools/sim/png_picture.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/trace_writer.h"
#include "tools/sim/wipe_logging_display.h"

namespace korvane {
namespace {

constexpr int kBadArguments = 2;
constexpr int kOutputFailed = 1;

std::string Usage() {
    return std::string(
               "usage: korvane-sim --width W --height H --frames N [options]\n"
               "       korvane-sim --help | --version\n"
               "Runs the show headless for N frames of a W x H pixel screen and writes what\n"
               "each frame did; asked for a picture, draws a frame as the saver draws it.\n"
               "\n"
               "  --width W              the screen's width in pixels (a cell is 16 x 24)\n"
               "  --height H             the screen's height in pixels\n"
               "  --frames N             how many frames to run\n"
               "  --scale S              cells of 16S x 24S pixels, the glyphs enlarged S times\n"
               "                         (1 to 4; default 1)\n"
               "  --trace FILE           one JSON line per frame into FILE ('-': standard output)\n"
               "  --png FILE             the picture of the frame --png-frame names, into FILE\n"
               "  --png-frame T          that frame: the back buffer as frame T left it\n"
               "  --no-sound             the show requests no sounds\n") +
           std::string(kShowSwitchesUsage) +
           "  --help                 this text\n"
           "  --version              the version\n"
           "\n"
           "Exit status: 0 when done, 1 when writing fails, 2 for bad arguments or a file that\n"
           "cannot be opened.\n";
}

int Run(const std::vector<std::string>& arguments) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(arguments, options, error)) {
        std::fprintf(stderr, "korvane-sim: %s\n", error.c_str());
        return kBadArguments;
    }
    if (options.info != InfoRequest::kNone) {
        return AnswerInfoRequest(options.info, "korvane-sim", Usage());
    }

    const bool wantsPicture = !options.pngPath.empty();
    IndexedBitmap sheet;
    if (wantsPicture && !ReadBitmapFile(KORVANE_SIM_GLYPH_SHEET, sheet)) {
        std::fprintf(stderr, "korvane-sim: cannot read the glyph sheet '%s'\n",
                     KORVANE_SIM_GLYPH_SHEET);
        return kOutputFailed;
    }
    std::FILE* png = nullptr;
    if (wantsPicture) {
        png = std::fopen(options.pngPath.c_str(), "wb");
        if (png == nullptr) {
            std::fprintf(stderr, "korvane-sim: cannot write picture file '%s'\n",
                         options.pngPath.c_str());
            return kBadArguments;
        }
    }

    std::FILE* trace = nullptr;
    if (options.tracePath == "-") {
        trace = stdout;
    } else if (!options.tracePath.empty()) {
        trace = std::fopen(options.tracePath.c_str(), "wb");
        if (trace == nullptr) {
            std::fprintf(stderr, "korvane-sim: cannot write trace file '%s'\n",
                         options.tracePath.c_str());
            if (png != nullptr) {
                std::fclose(png);
                std::remove(options.pngPath.c_str());
            }
            return kBadArguments;
        }
    }

    ShowEventLog log;
    RecordingSoundPlayer sound(log);
    HeadlessShowDisplay display(log);
    Show show(sound);
    ApplySimOptions(options, show.settings);
    show.display = &display;
    CreateShowGridForScreen(show, options.width, options.height, options.cellScale);

    // The pages exist only for a picture: a trace of a huge screen needs no pixels.
    std::unique_ptr<MemoryDisplay> pages;
    std::unique_ptr<WipeLoggingDisplay> pictureDisplay;
    if (wantsPicture) {
        pages = MakeShowPages(show, options.width, options.height, sheet, options.cellScale);
        pictureDisplay = std::make_unique<WipeLoggingDisplay>(*pages, log);
        show.display = pictureDisplay.get();
    }

    bool pictureWritten = true;
    for (int32_t t = 0; t < options.frames; ++t) {
        log.Clear();
        FrameTick(show, t);
        if (trace != nullptr) {
            WriteTraceLine(trace, t, static_cast<int32_t>(show.sequencerState), *show.grid, log);
        }
        if (png != nullptr && t == options.pngFrame) {
            // The back buffer as this tick left it: what the next flip puts on screen.
            pictureWritten = WriteSurfacePng(png, pages->backBuffer);
            pictureWritten = std::fclose(png) == 0 && pictureWritten;
            png = nullptr;
        }
    }

    bool written = true;
    if (trace != nullptr) {
        written = std::fflush(trace) == 0 && !std::ferror(trace);
        if (trace != stdout && std::fclose(trace) != 0) {
            written = false;
        }
    }
    if (!written) {
        std::fprintf(stderr, "korvane-sim: writing the trace failed\n");
        return kOutputFailed;
    }
    if (!pictureWritten) {
        std::fprintf(stderr, "korvane-sim: writing the picture '%s' failed\n",
                     options.pngPath.c_str());
        std::remove(options.pngPath.c_str());
        return kOutputFailed;
    }
    return 0;
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return korvane::Run(arguments);
}
