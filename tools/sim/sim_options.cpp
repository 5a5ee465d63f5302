#include "tools/sim/sim_options.h"

#include "frontend/option_values.h"
#include "grid/cell_geometry.h"

namespace korvane {

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& error) {
    bool haveWidth = false;
    bool haveHeight = false;
    bool haveFrames = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        auto value = [&](std::string& out) { return TakeOptionValue(arguments, i, out, error); };
        auto count = [&](int32_t& out, bool& seen) {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (!ParseWholeNumber(text, out) || out < 0) {
                error = "option " + name + " needs a non-negative whole number, not '" + text + "'";
                return false;
            }
            seen = true;
            return true;
        };

        if (TakeInfoRequest(name, options.info)) {
            return true;
        }
        const SwitchResult shared = TakeShowSwitch(arguments, i, options, error);
        if (shared == SwitchResult::kBad) {
            return false;
        }
        if (shared == SwitchResult::kTaken) {
            continue;
        }

        bool ok = true;
        if (name == "--width") {
            ok = count(options.width, haveWidth);
        } else if (name == "--height") {
            ok = count(options.height, haveHeight);
        } else if (name == "--frames") {
            ok = count(options.frames, haveFrames);
        } else if (name == "--scale") {
            std::string text;
            ok = value(text);
            if (ok && (!ParseWholeNumber(text, options.cellScale) ||
                       options.cellScale != ClampCellScale(options.cellScale))) {
                error = "option --scale needs a whole number from " +
                        std::to_string(kSmallestCellScale) + " to " +
                        std::to_string(kLargestCellScale) + ", not '" + text + "'";
                ok = false;
            }
        } else if (name == "--no-sound") {
            options.soundEnabled = false;
        } else if (name == "--trace") {
            ok = value(options.tracePath);
            if (ok && options.tracePath.empty()) {
                error = "option --trace needs a file name or '-'";
                ok = false;
            }
        } else if (name == "--png") {
            ok = value(options.pngPath);
            if (ok && options.pngPath.empty()) {
                error = "option --png needs a file name";
                ok = false;
            }
        } else if (name == "--png-frame") {
            ok = count(options.pngFrame, options.hasPngFrame);
        } else {
            error = "unknown option '" + name + "'";
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }

    if (!haveWidth || !haveHeight || !haveFrames) {
        error = "--width, --height and --frames are required";
        return false;
    }
    if (options.width > kSimMaxPixels || options.height > kSimMaxPixels) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " is larger than " +
                std::to_string(kSimMaxPixels) + " pixels a side";
        return false;
    }
    const GridSize grid = GridSizeForScreen(options.width, options.height, options.cellScale);
    if (grid.cols < 1 || grid.rows < 1) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " gives no grid (cells are " +
                std::to_string(CellWidthAt(options.cellScale)) + "x" +
                std::to_string(CellHeightAt(options.cellScale)) + " pixels)";
        return false;
    }
    if (options.pngPath.empty() != !options.hasPngFrame) {
        error = "--png and --png-frame must be given together";
        return false;
    }
    if (options.hasPngFrame && options.pngFrame >= options.frames) {
        error = "--png-frame " + std::to_string(options.pngFrame) +
                " is not one of the frames run (--frames " + std::to_string(options.frames) + ")";
        return false;
    }
    if (!options.pngPath.empty() &&
        int64_t{options.width} * options.height > kSimMaxPicturePixels) {
        error = "screen size " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " is too large for a picture (at most " +
                std::to_string(kSimMaxPicturePixels) + " pixels)";
        return false;
    }
    return FinishShowSwitches(options, error);
}

void ApplySimOptions(const SimOptions& options, ShowSettings& settings) {
    ApplyShowSwitches(options, settings);
    settings.soundEnabled = options.soundEnabled;
}

}  // namespace korvane
