// The alignment and the factors of a pose, shared by the object hierarchy
// and the lights' and camera's evaluations.
#include "render/pose.h"

void Align(const Matrix& a, const Matrix& b, const bool hasParent, float* c)
{
    const float dx = b.m[3] - a.m[3];
    const float dy = b.m[7] - a.m[7];
    const float dz = b.m[11] - a.m[11];
    const float heading = HeadingOf(dx, dz);
    float x, y, z;
    RotateVector(dx, dy, dz, 0.0f, -heading, 0.0f, x, y, z);
    c[KeyChannel::HEADING] = heading;
    c[KeyChannel::PITCH] = -HeadingOf(y, z);
    if (hasParent) {
        c[KeyChannel::POSITION_X] = a.m[3];
        c[KeyChannel::POSITION_Y] = a.m[7];
        c[KeyChannel::POSITION_Z] = a.m[11];
    }
}

void SetTranslationAndRotation(Pose& pose)
{
    Matrix pitch;
    Matrix bank;
    pose.rotation.SetRotation(0.0f, -pose.c[KeyChannel::HEADING], 0.0f);
    pitch.SetRotation(pose.c[KeyChannel::PITCH], 0.0f, 0.0f);
    bank.SetRotation(0.0f, 0.0f, pose.c[KeyChannel::BANK]);
    pose.rotation.Multiply(pose.rotation, pitch);
    pose.rotation.Multiply(pose.rotation, bank);
    pose.translation.m[3] = pose.c[KeyChannel::POSITION_X];
    pose.translation.m[7] = pose.c[KeyChannel::POSITION_Y];
    pose.translation.m[11] = pose.c[KeyChannel::POSITION_Z];
}
