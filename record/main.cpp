// lincell-record: replays a seeded run of the toy without a window. It starts the
// toy as the window program does, but with the library's headless system, its
// seed and its keys from the command line, and hands every frame to the outputs
// the command line asks for. Every failure ends here, in one place.
#include <allegro.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "allegro4/draw.h"
#include "allegro4/font.h"
#include "allegro4/headless.h"
#include "allegro4/toy.h"
#include "core/run.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/removal.h"
#include "platform/signals.h"
#include "record/folders.h"
#include "record/options.h"
#include "record/output.h"
#include "record/progress.h"

// The outputs this run makes; those from first_open up to open_end have begun
// and are not yet finished.
static std::vector<const output *> wanted;
static size_t first_open, open_end;

// Say what went wrong and exit with `status`: every output that has begun is
// abandoned first, so nothing is left half written.
[[noreturn]] static void fail(int status, const std::string &what)
{
    wipe_progress();
    while (open_end > first_open)
        if (wanted[--open_end]->abandon)
            wanted[open_end]->abandon();
    fprintf(stderr, "lincell-record: %s\n", what.c_str());
    exit(stop_signal ? 128 + stop_signal : status); // a run a signal stopped says so
}

// Tell the user something done on their behalf.
static void say(const std::string &what)
{
    fprintf(stderr, "lincell-record: %s\n", what.c_str());
}

// Any allocation of the recorder's own that fails ends it with a message, not a crash.
[[noreturn]] static void report_no_memory()
{
    static const char message[] = "lincell-record: not enough memory\n";
    (void)write_descriptor(2, message, sizeof message - 1);
    std::_Exit(1);
}

// Text for standard output, which must take all of it.
static int print(const char *text)
{
    fputs(text, stdout);
    return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}

// Make the folders, take them for this run, clear what killed runs left there,
// and clear, or refuse to touch, an earlier recording.
static void prepare_folders(const options &o)
{
    std::string refused;
    if (writes_files(o) && !make_folders(o.out))
        fail(1, "cannot write " + o.out);
    if (!lock_folders(o, &refused))
        fail(1, "another recording is writing into " + refused);
    for (const std::string &aside : find_set_aside(o))
        say(settle_set_aside(aside, o.overwrite));
    std::vector<std::string> earlier, abandoned;
    if (!find_earlier_files(o, wanted, &earlier, &abandoned, &refused))
        fail(1, "cannot list " + refused);
    clear_abandoned(abandoned);
    if (earlier.empty())
        return;
    if (!o.overwrite)
        fail(1, earlier.front() + " is of an earlier recording; give --overwrite to replace it");
    if (!remove_files(earlier, &refused))
        fail(1, "cannot remove " + refused);
}

int main(int argc, char **argv)
{
    note_ignored_signals();
    std::set_new_handler(report_no_memory);
    options o;
    std::string error;
    if (!parse_options(argc, argv, &o, &error))
        fail(2, error);
    if (o.help)
        return print(usage);
    if (o.version)
        return print("lincell-record " LINCELL_VERSION "\n");
    if (!choose_outputs(o, &wanted, &error))
        fail(2, error);
    open_standard_streams();
    catch_stop_signals();
    ignore_write_signals(); // a closed log, a failed ffmpeg or a size limit: a failed write

    start_headless_allegro();
    const std::string font_path = find_caption_font(program_folders_only);
    BITMAP *back_buffer = start_toy(font_path.c_str());
    if (!back_buffer)
        fail(1, "not enough memory for the 800 x 600 picture");
    if (caption_font == font)
        say((font_path.empty() ? "myfont.pcx is neither beside lincell-record nor in "
                                 "../share/lincell/ from there"
                               : font_path + " is not a caption font lincell can use") +
            ": the caption is drawn in the library's own font");
    prepare_folders(o);

    const frame_canvas canvas = bitmap_canvas(back_buffer);
    static uint32_t *rows[screen_height];
    bitmap_rows(back_buffer, rows);
    start_run(static_cast<uint32_t>(o.seed));
    for (const hold &h : o.holds)
        add_run_hold(h); // as many as a run keeps: the options allow no more

    // Which frames grids and pictures keep, and the number their files carry.
    const uint64_t last = last_run_frame(o.frames);
    const int digits = name_digits(last);
    recorded_frame frame = {0, 0, 0, true, file_number(0, digits), nullptr, view_world()};
    for (; open_end < wanted.size(); open_end++)
        if (wanted[open_end]->begin && !wanted[open_end]->begin(o, frame, &error))
            fail(1, error);
    frame.rows = rows;
    start_progress();
    for (uint64_t k = 1; k <= last && !stop_signal; k++) {
        frame.done = advance_run(0);
        paint_frame(canvas);
        frame.number = k, frame.keys = run_keys();
        frame.kept = is_kept_frame(o, k, last);
        frame.file_number = file_number(k, digits);
        frame.world = view_world();
        for (const output *kind : wanted)
            if (!kind->take_frame(frame, &error))
                fail(1, error);
        show_progress(k, last);
    }
    for (; first_open < open_end; first_open++)
        if (wanted[first_open]->finish && !wanted[first_open]->finish(&error))
            fail(1, error);
    wipe_progress();
    destroy_back_buffer(back_buffer);
    return stop_signal ? 128 + stop_signal : 0;
}
END_OF_MAIN()
