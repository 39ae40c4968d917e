// The recorder's video: the frames of the run piped raw to the ffmpeg program,
// which encodes them by the file's ending into an .mp4, .webm, .gif or .apng,
// written under a temporary name and renamed into place when whole.
#pragma once

#include <string>

struct BITMAP;

// The part of each picture the video shows: width x height from (left, top).
struct video_crop {
    int width, height, left, top;
};

// ImageMagick's WxH+X+Y, inside the 800 x 600 picture; false for anything else.
bool parse_crop(const char *text, video_crop *crop);

// Whether the path ends in a kind of video the recorder makes.
bool is_video_path(const std::string &path);

// The ffmpeg program on the PATH, or "" when there is none.
std::string find_ffmpeg();

// Start ffmpeg writing `path` at `fps` frames a second; false when it cannot start.
bool start_video(const std::string &ffmpeg, const std::string &path, int fps, video_crop crop);

// Hand ffmpeg one frame; false once it has stopped taking them.
bool add_video_frame(BITMAP *back_buffer);

// Stop ffmpeg and remove the unfinished file.
void drop_video();

// End the input, wait for ffmpeg and put the file in place. Returns false, with
// ffmpeg's last line of error in *error, when the video could not be made.
bool finish_video(std::string *error);
