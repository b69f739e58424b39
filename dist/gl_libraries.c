/* Never run. The demo opens libGL.so.1 and libGLU.so.1 with dlopen, so none
   of the installed programs names them; this program links exactly those two
   files, so that dpkg-shlibdeps, asked about it when the Debian package is
   made, names the packages that provide them and the versions they need. */
#include <GL/glu.h>

int main(void)
{
    return glGetString(GL_VERSION) == 0 && gluErrorString(GLU_INVALID_ENUM) == 0;
}
