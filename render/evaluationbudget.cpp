// The bound follows the requests the hierarchy's evaluation makes
// (render/hierarchy.cpp, render/animation.cpp), round by round: the
// animation's frame is one round, the camera and each sprite of a trail
// flare make one each. Within a round:
// - an object asked only at the round's frame computes each of its two
//   matrices (as it stands, and unaligned for its alignment) at most once:
//   the first miss stores that frame, and nothing else is stored in its
//   cache during the round;
// - an object that a path look-ahead may ask at another frame can miss its
//   cache at every request, so every request is counted.
// A hit only prunes what a miss would ask, so the count is an upper bound
// whatever the caches held before the round; for plain hierarchies it is
// exact: one evaluation an object.
#include "render/evaluationbudget.h"

#include <algorithm>
#include <memory>
#include <new>

#include "scene/flare.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

// Where a request falls: at the round's frame, or perhaps at another one.
enum At { AT_FRAME = 0, ELSEWHERE = 1 };

// The requests an object receives in a round, by kind and by frame.
struct Asked {
    std::uint64_t asIs[2] = {};       // the object with its links as they stand
    std::uint64_t unaligned[2] = {};  // its own matrix for its alignment
};

class Budget {
public:
    Budget(const Scene& scene, std::uint64_t cap) : scene_(scene), cap_(cap) {}

    bool Allocate()
    {
        const std::uint32_t count = scene_.objectCount;
        asked_.reset(new (std::nothrow) Asked[count]);
        order_.reset(new (std::nothrow) std::uint32_t[count]);
        stack_.reset(new (std::nothrow) std::uint32_t[count]);
        seen_.reset(new (std::nothrow) std::uint32_t[count]());
        return (asked_ && order_ && stack_ && seen_) || count == 0;
    }

    // The animation's round, then every trail's.
    std::uint64_t Frame()
    {
        std::uint64_t total = Animation();
        for (std::uint32_t i = 0; i < scene_.objectCount && total < cap_; ++i)
            total = Add(total, TrailsOn(scene_.objects[i]));
        return total;
    }

private:
    std::uint64_t Add(std::uint64_t a, std::uint64_t b) const { return std::min(cap_, a + b); }
    std::uint64_t Times(std::uint64_t n, std::uint64_t each) const
    {
        return each != 0 && n > cap_ / each ? cap_ : n * each;
    }
    std::uint32_t IndexOf(const SceneObject* object) const
    {
        return static_cast<std::uint32_t>(object - scene_.objects);
    }

    void Ask(const SceneObject* object, At at, std::uint64_t times)
    {
        if (object != nullptr)
            asked_[IndexOf(object)].asIs[at] = Add(asked_[IndexOf(object)].asIs[at], times);
    }

    // A light's or the camera's evaluation at the round's frame, which no
    // cache serves: itself, and its unaligned self once for a target or twice
    // along its path. Returns the evaluations; the objects' requests are noted.
    template <class Record>
    std::uint64_t AskForRecord(const Record& record)
    {
        Ask(record.parent, AT_FRAME, 1);
        if (record.target != nullptr) {
            Ask(record.target, AT_FRAME, 1);
            return 2;
        }
        if (record.pathLookAhead != 0) {
            Ask(record.parent, ELSEWHERE, 1);
            return 3;
        }
        return 1;
    }

    std::uint64_t Animation()
    {
        std::uint64_t total = AskForRecord(*scene_.camera);
        for (std::uint32_t i = 0; i < scene_.lightCount; ++i)
            total = Add(total, AskForRecord(scene_.lights[i]));
        for (std::uint32_t i = 0; i < scene_.objectCount; ++i) {
            Ask(&scene_.objects[i], AT_FRAME, 1);
            Reach(i);
        }
        return Add(total, Settle());
    }

    // Each trail flare on object's mesh: the camera's round, and one round
    // of its object for every sprite.
    std::uint64_t TrailsOn(const SceneObject& object)
    {
        if (object.vector == nullptr)
            return 0;
        std::uint64_t total = 0;
        for (const Plugin* plugin = object.vector->firstPlugin; plugin != nullptr && total < cap_;
             plugin = plugin->next) {
            const Flare* const trail = Flare::AsTrail(plugin);
            if (trail == nullptr || trail->spriteCount == 0 || trail->scene != &scene_ || trail->object == nullptr)
                continue;
            total = Add(total, Times(trail->spriteCount, RoundOf(*trail->object)));
            total = Add(total, CameraRound());
        }
        return total;
    }

    std::uint64_t RoundOf(const SceneObject& object)
    {
        Ask(&object, AT_FRAME, 1);
        Reach(IndexOf(&object));
        return Settle();
    }

    std::uint64_t CameraRound()
    {
        const SceneCamera& camera = *scene_.camera;
        const std::uint64_t own = AskForRecord(camera);
        for (const SceneObject* const link : {camera.parent, camera.target}) {
            if (link != nullptr)
                Reach(IndexOf(link));
        }
        return Add(own, Settle());
    }

    // Appends the objects reachable from start through parents and targets,
    // not yet reached in this round, to the order in post-order: each after
    // every object it links to.
    void Reach(std::uint32_t start)
    {
        if (seen_[start] == round_ + 1)
            return;
        std::uint32_t top = 0;
        stack_[top++] = start;
        seen_[start] = round_ + 1;
        while (top > 0) {
            const SceneObject& object = scene_.objects[stack_[top - 1]];
            bool descended = false;
            for (const SceneObject* const link : {object.parent, object.target}) {
                if (link == nullptr || descended || seen_[IndexOf(link)] == round_ + 1)
                    continue;
                seen_[IndexOf(link)] = round_ + 1;
                stack_[top++] = IndexOf(link);
                descended = true;
            }
            if (!descended)
                order_[reached_++] = stack_[--top];
        }
    }

    // The evaluations of every reached object, each settled after all that
    // ask of it; the round is then closed.
    std::uint64_t Settle()
    {
        std::uint64_t total = 0;
        while (reached_ > 0)
            total = Add(total, SettleObject(order_[--reached_]));
        ++round_;
        return total;
    }

    std::uint64_t Computed(std::uint64_t requests, bool elsewhere) const
    {
        return elsewhere ? requests : std::min<std::uint64_t>(requests, 1);
    }

    // The evaluations of one object from the requests it received, and the
    // requests they make of its target and its parent.
    std::uint64_t SettleObject(std::uint32_t index)
    {
        const SceneObject& object = scene_.objects[index];
        Asked& asked = asked_[index];
        const bool alongPath = object.target == nullptr && object.pathLookAhead != 0;
        const bool elsewhere = asked.asIs[ELSEWHERE] != 0 || (alongPath && asked.asIs[AT_FRAME] != 0);
        std::uint64_t asIs[2], unaligned[2] = {};
        for (const At at : {AT_FRAME, ELSEWHERE})
            asIs[at] = Computed(asked.asIs[at], elsewhere);
        if (object.target != nullptr) {
            unaligned[AT_FRAME] = asIs[AT_FRAME];
            unaligned[ELSEWHERE] = asIs[ELSEWHERE];
        } else if (alongPath) {
            unaligned[AT_FRAME] = asIs[AT_FRAME];
            unaligned[ELSEWHERE] = Add(asIs[AT_FRAME], Times(2, asIs[ELSEWHERE]));
        }
        const bool aligned = object.target != nullptr || alongPath;
        std::uint64_t total = 0;
        for (const At at : {AT_FRAME, ELSEWHERE}) {
            unaligned[at] = Computed(unaligned[at], elsewhere);
            Ask(object.target, at, asIs[at]);
            Ask(object.parent, at, aligned ? unaligned[at] : asIs[at]);
            total = Add(total, Add(asIs[at], unaligned[at]));
        }
        asked = Asked{};
        return total;
    }

    const Scene& scene_;
    const std::uint64_t cap_;
    std::unique_ptr<Asked[]> asked_;
    std::unique_ptr<std::uint32_t[]> order_;  // reached objects, reached_ of them
    std::unique_ptr<std::uint32_t[]> stack_;
    std::unique_ptr<std::uint32_t[]> seen_;  // round_ + 1 once reached in the round
    std::uint32_t reached_ = 0;
    std::uint32_t round_ = 0;
};

}  // namespace

bool CountFrameEvaluations(const Scene& scene, const std::uint64_t limit, std::uint64_t& count)
{
    Budget budget(scene, limit + 1);
    if (!budget.Allocate())
        return false;
    count = scene.camera == nullptr ? 0 : budget.Frame();
    return true;
}
