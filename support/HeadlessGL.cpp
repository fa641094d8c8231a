#include "support/HeadlessGL.h"

// EGL is called only through the pointers of EGLLibrary below.
#define EGL_EGL_PROTOTYPES 0
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace
{
// What a failure asks the user to install, for the Debian packages that
// provide the EGL library, Mesa's EGL driver and its software renderer.
std::string Install(const char* packages)
{
	return std::string(" (on Debian: apt-get install ") + packages + ")";
}

// The EGL entry points, looked up in the system's EGL library at run time
// rather than linked: a program that links it does not even start where it is
// missing, and the loader's refusal names no package and stops the commands
// that need no GL as well. The library stays loaded for the process's life.
struct EGLLibrary
{
	PFNEGLBINDAPIPROC BindAPI = nullptr;
	PFNEGLCHOOSECONFIGPROC ChooseConfig = nullptr;
	PFNEGLCREATECONTEXTPROC CreateContext = nullptr;
	PFNEGLDESTROYCONTEXTPROC DestroyContext = nullptr;
	PFNEGLGETCURRENTCONTEXTPROC GetCurrentContext = nullptr;
	PFNEGLGETERRORPROC GetError = nullptr;
	PFNEGLGETPROCADDRESSPROC GetProcAddress = nullptr;
	PFNEGLINITIALIZEPROC Initialize = nullptr;
	PFNEGLMAKECURRENTPROC MakeCurrent = nullptr;
	PFNEGLQUERYSTRINGPROC QueryString = nullptr;
	// Empty when every entry point was found, else why not.
	std::string error;
};

template <typename Function>
void Find(void* library, const char* name, Function& function, std::string& error)
{
	function = reinterpret_cast<Function>(dlsym(library, name));
	if (function == nullptr && error.empty())
		error = std::string("libEGL.so.1 lacks ") + name;
}

EGLLibrary LoadEGLLibrary()
{
	EGLLibrary egl;
	void* library = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
	if (library == nullptr)
	{
		const char* why = dlerror();
		egl.error = std::string(why != nullptr ? why : "libEGL.so.1 cannot be loaded") + Install("libegl1");
		return egl;
	}
	Find(library, "eglBindAPI", egl.BindAPI, egl.error);
	Find(library, "eglChooseConfig", egl.ChooseConfig, egl.error);
	Find(library, "eglCreateContext", egl.CreateContext, egl.error);
	Find(library, "eglDestroyContext", egl.DestroyContext, egl.error);
	Find(library, "eglGetCurrentContext", egl.GetCurrentContext, egl.error);
	Find(library, "eglGetError", egl.GetError, egl.error);
	Find(library, "eglGetProcAddress", egl.GetProcAddress, egl.error);
	Find(library, "eglInitialize", egl.Initialize, egl.error);
	Find(library, "eglMakeCurrent", egl.MakeCurrent, egl.error);
	Find(library, "eglQueryString", egl.QueryString, egl.error);
	return egl;
}

// Loaded on first use, once for the process.
const EGLLibrary& EGL()
{
	static const EGLLibrary egl = LoadEGLLibrary();
	return egl;
}

bool HasExtension(const char* extensions, const char* name)
{
	if (extensions == nullptr)
		return false;
	const std::size_t length = std::strlen(name);
	for (const char* at = extensions; (at = std::strstr(at, name)) != nullptr; at += length)
	{
		const bool startsWord = at == extensions || at[-1] == ' ';
		const bool endsWord = at[length] == ' ' || at[length] == '\0';
		if (startsWord && endsWord)
			return true;
	}
	return false;
}

std::string EGLErrorText(const char* what)
{
	char code[16];
	std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(EGL().GetError()));
	return std::string(what) + " failed (EGL error " + code + ")";
}

void SetError(std::string* error, const std::string& text)
{
	if (error != nullptr)
		*error = text;
}

std::string GLString(GLenum name)
{
	const GLubyte* text = glGetString(name);
	return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}
} // namespace

std::unique_ptr<HeadlessGL> HeadlessGL::Create(std::string* error)
{
	const EGLLibrary& egl = EGL();
	if (!egl.error.empty())
	{
		SetError(error, egl.error);
		return nullptr;
	}
	// Client extensions are queried on EGL_NO_DISPLAY; a null answer means the
	// EGL library predates client extensions altogether. The EGL library only
	// dispatches to drivers; without Mesa's, no driver offers the surfaceless
	// platform.
	const char* clientExtensions = egl.QueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
	if (!HasExtension(clientExtensions, "EGL_EXT_platform_base") ||
		!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
	{
		SetError(error,
			"no EGL driver offers a surfaceless platform (EGL_MESA_platform_surfaceless)" +
				Install("libegl-mesa0 libgl1-mesa-dri"));
		return nullptr;
	}
	auto getPlatformDisplay =
		reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(egl.GetProcAddress("eglGetPlatformDisplayEXT"));
	if (getPlatformDisplay == nullptr)
	{
		SetError(error, "eglGetPlatformDisplayEXT is missing");
		return nullptr;
	}

	EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
	if (display == EGL_NO_DISPLAY)
	{
		SetError(error, EGLErrorText("eglGetPlatformDisplayEXT(surfaceless)"));
		return nullptr;
	}
	EGLint eglMajor = 0;
	EGLint eglMinor = 0;
	if (egl.Initialize(display, &eglMajor, &eglMinor) != EGL_TRUE)
	{
		// Mesa fails here when it finds no GL driver to load, having written
		// its own "MESA-LOADER" warning to standard error.
		SetError(
			error, EGLErrorText("eglInitialize") + ": EGL found no OpenGL driver to load" + Install("libgl1-mesa-dri"));
		return nullptr;
	}

	std::unique_ptr<HeadlessGL> gl(new HeadlessGL());
	gl->display = display;

	// From here on the destructor releases what was made, on every failure.
	const char* displayExtensions = egl.QueryString(display, EGL_EXTENSIONS);
	if (!HasExtension(displayExtensions, "EGL_KHR_surfaceless_context"))
	{
		SetError(error, "EGL display cannot make a context current without a surface");
		return nullptr;
	}
	if (egl.BindAPI(EGL_OPENGL_API) != EGL_TRUE)
	{
		SetError(error, EGLErrorText("eglBindAPI(EGL_OPENGL_API)"));
		return nullptr;
	}

	// Rendering goes to framebuffer objects only, so any desktop-GL config will
	// do; without one, a configless context is asked for.
	const EGLint configAttributes[] = { EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE };
	EGLConfig config = nullptr;
	EGLint configCount = 0;
	if (egl.ChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE || configCount < 1)
	{
		if (!HasExtension(displayExtensions, "EGL_KHR_no_config_context") &&
			!HasExtension(displayExtensions, "EGL_MESA_configless_context"))
		{
			SetError(error, "EGL display offers no desktop OpenGL config");
			return nullptr;
		}
		config = EGL_NO_CONFIG_KHR;
	}

	const EGLint contextAttributes[] = { EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 1,
		EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE };
	EGLContext context = egl.CreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
	if (context == EGL_NO_CONTEXT)
	{
		SetError(error, EGLErrorText("eglCreateContext(OpenGL 4.1 core)"));
		return nullptr;
	}
	gl->context = context;
	if (!gl->MakeCurrent())
	{
		SetError(error, EGLErrorText("eglMakeCurrent"));
		return nullptr;
	}

	gl->renderer = GLString(GL_RENDERER);
	gl->version = GLString(GL_VERSION);
	GLint major = 0;
	GLint minor = 0;
	glGetIntegerv(GL_MAJOR_VERSION, &major);
	glGetIntegerv(GL_MINOR_VERSION, &minor);
	if (major < 4 || (major == 4 && minor < 1))
	{
		SetError(error, "the context is OpenGL " + gl->version + ", not 4.1 or later");
		return nullptr;
	}
	return gl;
}

HeadlessGL::~HeadlessGL()
{
	if (display == nullptr)
		return;
	if (context != nullptr)
	{
		const EGLLibrary& egl = EGL();
		if (egl.GetCurrentContext() == context)
			egl.MakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
		egl.DestroyContext(display, context);
	}
	// The display is shared by every HeadlessGL of the process; terminating it
	// would pull the contexts of the others from under them.
}

bool HeadlessGL::MakeCurrent() const
{
	return EGL().MakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) == EGL_TRUE;
}

HeadlessGL::Framebuffer HeadlessGL::CreateHostFramebuffer(GLint width, GLint height) const
{
	Framebuffer output;
	if (width <= 0 || height <= 0)
		return output;
	output.width = width;
	output.height = height;

	glGenFramebuffers(1, &output.framebuffer);
	glBindFramebuffer(GL_FRAMEBUFFER, output.framebuffer);
	glGenRenderbuffers(1, &output.colour);
	glBindRenderbuffer(GL_RENDERBUFFER, output.colour);
	glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
	glBindRenderbuffer(GL_RENDERBUFFER, 0);
	glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, output.colour);
	if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
	{
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		DeleteHostFramebuffer(output);
		return output;
	}

	BindHostFramebuffer(output);
	const GLfloat transparentBlack[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
	glClearBufferfv(GL_COLOR, 0, transparentBlack);
	return output;
}

void HeadlessGL::BindHostFramebuffer(const Framebuffer& output)
{
	glBindFramebuffer(GL_DRAW_FRAMEBUFFER, output.framebuffer);
	glBindFramebuffer(GL_READ_FRAMEBUFFER, output.framebuffer);
	glViewport(0, 0, output.width, output.height);
}

void HeadlessGL::DeleteHostFramebuffer(Framebuffer& output)
{
	if (output.framebuffer != 0)
		glDeleteFramebuffers(1, &output.framebuffer);
	if (output.colour != 0)
		glDeleteRenderbuffers(1, &output.colour);
	output = Framebuffer();
}
