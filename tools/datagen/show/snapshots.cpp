// Frames of earlier scenes as pictures. The demo reads loose files from the
// working directory, so the tree becomes it while the frames are drawn.
#include "tools/datagen/show/snapshots.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/timeline.h"
#include "platform/sdl_backend.h"
#include "tools/aqtool/render_frame.h"

namespace {

// The working directory for a while, put back when it ends.
class WorkingIn {
public:
    explicit WorkingIn(const std::string& folder)
    {
        std::error_code error;
        before_ = std::filesystem::current_path(error);
        if (!error)
            std::filesystem::current_path(folder, error);
        entered_ = !error;
        if (!entered_)
            Error::Report(3, "DrawSnapshots: Couldn't work in the data folder(", folder.c_str(), ")\n");
    }
    ~WorkingIn()
    {
        std::error_code error;
        if (entered_)
            std::filesystem::current_path(before_, error);
    }
    WorkingIn(const WorkingIn&) = delete;
    WorkingIn& operator=(const WorkingIn&) = delete;
    bool Entered() const { return entered_; }

private:
    std::filesystem::path before_;
    bool entered_ = false;
};

bool DrawOne(const Snapshot& snapshot, int side, std::vector<std::uint8_t>& frame, Picture& picture)
{
    aqtool::SceneFrames frames;
    if (!frames.Load(SCENE_TABLE[snapshot.scene]) || !frames.Render(SnapshotTime(snapshot), frame.data())) {
        Error::Report(3, "DrawSnapshots: A scene could not be drawn(", SCENE_TABLE[snapshot.scene], ")\n");
        return false;
    }
    picture = SquarePicture(frame.data(), gAquarium.width, gAquarium.height, side);
    return true;
}

}  // namespace

std::uint32_t SnapshotTime(const Snapshot& snapshot)
{
    const std::uint32_t start = snapshot.scene == 0 ? 0u : SCENE_END_TIMES[snapshot.scene - 1];
    return static_cast<std::uint32_t>(snapshot.fraction * static_cast<float>(SCENE_END_TIMES[snapshot.scene] - start));
}

Picture SquarePicture(const std::uint8_t* frame, int width, int height, int side)
{
    Picture picture(side, side);
    for (int y = 0; y < side; ++y) {
        const int top = y * height / side, bottom = std::max((y + 1) * height / side, top + 1);
        for (int x = 0; x < side; ++x) {
            const int left = x * width / side, right = std::max((x + 1) * width / side, left + 1);
            float sum[3] = {};
            for (int row = top; row < bottom; ++row) {
                const std::size_t first = static_cast<std::size_t>(height - 1 - row) * width + left;
                const std::uint8_t* const pixel = frame + first * 3;
                for (int i = 0; i < (right - left) * 3; ++i)
                    sum[i % 3] += pixel[i];
            }
            const float count = 255.0f * static_cast<float>((bottom - top) * (right - left));
            picture.At(x, y) = {sum[0] / count, sum[1] / count, sum[2] / count};
        }
    }
    return picture;
}

bool DrawSnapshots(const std::string& root, const std::vector<Snapshot>& snapshots, int side,
                   std::vector<Picture>& pictures)
{
    const WorkingIn tree(root);
    platform::UseOffscreenVideo();
    if (!tree.Entered() || !aqtool::FillDemoAquarium(aqtool::ModeSwitch::NONE))
        return false;
    Error::Reset();  // the offscreen display's refused mode switch is no failure
    std::vector<std::uint8_t> frame(aqtool::FrameBufferSize());
    pictures.assign(snapshots.size(), Picture());
    bool drawn = true;
    for (std::size_t i = 0; i < snapshots.size() && drawn; ++i)
        drawn = DrawOne(snapshots[i], side, frame, pictures[i]);
    aqtool::EmptyDemoAquarium();
    return drawn;
}
