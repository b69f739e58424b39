// SceneObject::Evaluate without recursion. The design's evaluation calls
// itself for the object's own unaligned matrices (target and look-ahead
// cleared), for its target and for its parent; here each such call is a step
// pushed on an explicit stack and taken in the same order, through the same
// two-slot cache, so a hierarchy as deep as a file can make cannot exhaust
// the program's stack, and the results are the design's exactly.
#include "render/hierarchy.h"

#include <memory>
#include <new>

#include "render/pose.h"
#include "scene/scenerecords.h"

namespace {

// Where a step stands: about to start, or waiting for the step it pushed.
enum class Phase {
    START,
    TARGET_NEXT,   // the own matrix for a target is in a: the target's goes to b
    AHEAD_NEXT,    // the own matrix at t is in a: the one at t + look-ahead goes to b
    ALIGN,         // a and b are in: turn, then compose without the parent
    COMPOSE,       // the parent's matrix, if any, is in pose.parent
};

struct Step {
    SceneObject* object = nullptr;
    float t = 0.0f;
    Matrix* out = nullptr;  // the asking step's matrix, or the caller's
    Phase phase = Phase::START;
    Pose pose;
    Matrix a;               // the alignment's two world matrices
    Matrix b;
    SceneObject* target = nullptr;  // the links cleared while the object evaluates itself
    std::uint32_t lookAhead = 0;
};

// An object appears at most twice on the stack (itself, then itself
// unaligned), since its links hold no cycle.
constexpr std::uint32_t STEPS_PER_OBJECT = 2;
constexpr std::uint32_t BUILT_IN_STEPS = 256;  // enough for a hierarchy no scene file made

Step builtInSteps[BUILT_IN_STEPS];
std::unique_ptr<Step[]> reservedSteps;
std::uint64_t reservedCount = 0;

Step* Steps() { return reservedSteps ? reservedSteps.get() : builtInSteps; }
std::uint64_t Capacity() { return reservedSteps ? reservedCount : BUILT_IN_STEPS; }

// The matrix of the later frame of the cache: the last one made while the
// frames rise.
const Matrix& Latest(const SceneObject& object)
{
    return object.cacheFrameA > object.cacheFrameB ? object.cacheMatrixA : object.cacheMatrixB;
}

bool FromCache(const SceneObject& object, float t, Matrix& out)
{
    if (t == object.cacheFrameA) {
        out = object.cacheMatrixA;
        return true;
    }
    if (t == object.cacheFrameB) {
        out = object.cacheMatrixB;
        return true;
    }
    return false;
}

class Evaluation {
public:
    Evaluation() = default;

    // Asks for object at t into out: answered at once from the cache, else
    // pushed. Only a hierarchy that no room was reserved for (never one the
    // loader accepted) can fill the stack; it gets the object's last matrix
    // rather than a write past the stack.
    void Ask(SceneObject& object, float t, Matrix& out)
    {
        if (FromCache(object, t, out))
            return;
        if (top_ == Capacity()) {
            out = Latest(object);
            return;
        }
        Step& step = Steps()[top_++];
        step = Step{};
        step.object = &object;
        step.t = t;
        step.out = &out;
    }

    void Run()
    {
        while (top_ > 0)
            Advance(Steps()[top_ - 1]);
    }

private:
    void Advance(Step& step);
    void Start(Step& step);
    void Compose(Step& step);

    std::uint64_t top_ = 0;  // steps in use; one evaluation runs at a time
};

// Keys first, then the alignment's own evaluations (target before look-ahead),
// else the parent.
void Evaluation::Start(Step& step)
{
    SceneObject& object = *step.object;
    EvaluateKeys(object, step.t, step.pose);
    step.target = object.target;
    step.lookAhead = object.pathLookAhead;
    if (object.target != nullptr) {
        object.target = nullptr;
        object.pathLookAhead = 0;
        step.phase = Phase::TARGET_NEXT;
        Ask(object, step.t, step.a);
    } else if (object.pathLookAhead != 0) {
        object.pathLookAhead = 0;
        step.phase = Phase::AHEAD_NEXT;
        Ask(object, step.t, step.a);
    } else {
        step.phase = Phase::COMPOSE;
        if (object.parent != nullptr)
            Ask(*object.parent, step.t, step.pose.parent);
    }
}

// out = P × T × R × S × V, stored in the older cache slot; the step is done.
void Evaluation::Compose(Step& step)
{
    SceneObject& object = *step.object;
    Pose& pose = step.pose;
    SetTranslationAndRotation(pose);
    Matrix result;  // V: the pivot to the origin
    result.m[3] = -object.pivot[0];
    result.m[7] = -object.pivot[1];
    result.m[11] = -object.pivot[2];
    Matrix scale;
    scale.m[0] = pose.c[KeyChannel::SCALE_X];
    scale.m[5] = pose.c[KeyChannel::SCALE_Y];
    scale.m[10] = pose.c[KeyChannel::SCALE_Z];
    scale.Multiply(result, result);
    pose.rotation.Multiply(result, result);
    pose.translation.Multiply(result, result);
    pose.parent.Multiply(result, result);
    if (object.cacheFrameA < object.cacheFrameB) {
        object.cacheFrameA = step.t;
        object.cacheMatrixA = result;
    } else {
        object.cacheFrameB = step.t;
        object.cacheMatrixB = result;
    }
    *step.out = result;
    --top_;
}

// One move of the top step: it may push the step it waits for.
void Evaluation::Advance(Step& step)
{
    SceneObject& object = *step.object;
    switch (step.phase) {
    case Phase::START:
        Start(step);
        return;
    case Phase::TARGET_NEXT:
        object.target = step.target;
        object.pathLookAhead = step.lookAhead;
        step.phase = Phase::ALIGN;
        Ask(*step.target, step.t, step.b);
        return;
    case Phase::AHEAD_NEXT:
        step.phase = Phase::ALIGN;
        Ask(object, step.t + static_cast<float>(step.lookAhead), step.b);
        return;
    case Phase::ALIGN:
        object.pathLookAhead = step.lookAhead;
        Align(step.a, step.b, object.parent != nullptr, step.pose.c);
        step.phase = Phase::COMPOSE;
        return;
    case Phase::COMPOSE:
        Compose(step);
        return;
    }
}

}  // namespace

bool ReserveHierarchyEvaluation(const std::uint32_t objectCount)
{
    const std::uint64_t wanted = std::uint64_t{objectCount} * STEPS_PER_OBJECT + 1;
    if (wanted <= Capacity())
        return true;
    std::unique_ptr<Step[]> steps(new (std::nothrow) Step[wanted]);
    if (!steps)
        return false;
    reservedSteps = std::move(steps);
    reservedCount = wanted;
    return true;
}

void SceneObject::Evaluate(const float frame, Matrix& out)
{
    Evaluation evaluation;
    evaluation.Ask(*this, frame, out);
    evaluation.Run();
}
