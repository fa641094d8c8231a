#include "tests/soak/GuardDriver.h"

#include "ffglex/FFGLGL.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>

namespace
{
constexpr std::uint32_t kFirstPort = 6000;
constexpr std::uint32_t kPortSteps = 3000;

unsigned int MakeTexture(std::uint8_t level)
{
	std::vector<std::uint8_t> pixels(GuardDriver::kSize * GuardDriver::kSize * 4, level);
	for (std::size_t alpha = 3; alpha < pixels.size(); alpha += 4)
		pixels[alpha] = 255;
	GLuint name = 0;
	glGenTextures(1, &name);
	glBindTexture(GL_TEXTURE_2D, name);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GuardDriver::kSize, GuardDriver::kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
	             pixels.data());
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	glBindTexture(GL_TEXTURE_2D, 0);
	return name;
}
} // namespace

GuardDriver::~GuardDriver()
{
	if (blackTexture != 0 || greyTexture != 0)
	{
		const GLuint textures[2] = {blackTexture, greyTexture};
		glDeleteTextures(2, textures);
	}
	HeadlessGL::DeleteHostFramebuffer(output);
	if (module.IsLoaded())
		module.DeInitialise();
}

bool GuardDriver::Open(const std::string& modulePath, HeadlessGL& gl, std::string& error)
{
	if (!module.Load(modulePath, error))
		return false;
	// Any free port of the guard's range; start from one that differs between
	// processes so that tests running side by side rarely collide.
	const std::uint32_t start = static_cast<std::uint32_t>(getpid()) % kPortSteps;
	for (std::uint32_t step = 0; step <= kPortSteps && !receiver; ++step)
	{
		const auto port = static_cast<std::uint16_t>(kFirstPort + (start + step) % (kPortSteps + 1));
		auto candidate = std::make_unique<UdpReceiver>(port);
		if (candidate->IsOpen())
		{
			receiver = std::move(candidate);
			portSlider = static_cast<float>(port - kFirstPort) / static_cast<float>(kPortSteps);
		}
	}
	if (!receiver)
	{
		error = "no free UDP port on 127.0.0.1 between 6000 and 9000";
		return false;
	}
	output = gl.CreateHostFramebuffer(kSize, kSize);
	if (!output.IsValid())
	{
		error = "could not create the host framebuffer";
		return false;
	}
	blackTexture = MakeTexture(0);
	greyTexture = MakeTexture(160);
	return true;
}

void* GuardDriver::NewInstance(float hold, float recovery) const
{
	HeadlessGL::BindHostFramebuffer(output);
	void* instance = module.Instantiate(FFGLViewportStructTag{0, 0, kSize, kSize});
	if (instance == nullptr)
		return nullptr;
	module.SetFloatParameter(instance, kBlackHold, hold);
	module.SetFloatParameter(instance, kRecovery, recovery);
	module.SetFloatParameter(instance, kOscPort, portSlider);
	return instance;
}

void GuardDriver::DeleteInstance(void* instance) const
{
	HeadlessGL::BindHostFramebuffer(output);
	module.DeInstantiate(instance);
}

std::uint32_t GuardDriver::Frame(void* instance, bool black) const
{
	FFGLTextureStructTag texture{kSize, kSize, kSize, kSize, black ? blackTexture : greyTexture};
	FFGLTextureStructTag* inputs[1] = {&texture};
	ProcessOpenGLStructTag frame{};
	frame.numInputTextures = 1;
	frame.inputTextures = inputs;
	frame.HostFBO = output.framebuffer;
	HeadlessGL::BindHostFramebuffer(output);
	return module.ProcessOpenGL(instance, frame);
}

std::vector<std::uint8_t> GuardDriver::ExpectedMessage()
{
	const std::string address = "/composition/layers/1/connectnextclip";
	std::vector<std::uint8_t> message(address.begin(), address.end());
	message.resize(40, 0); // terminator and padding to a multiple of four
	for (std::uint8_t byte : {',', 'i', '\0', '\0', '\0', '\0', '\0', '\1'})
		message.push_back(byte);
	return message;
}

int OpenFileDescriptorCount()
{
	DIR* directory = opendir("/proc/self/fd");
	if (directory == nullptr)
		return -1;
	int count = 0;
	while (const dirent* entry = readdir(directory))
		if (entry->d_name[0] != '.')
			++count;
	closedir(directory);
	return count - 1; // the listing's own descriptor
}

long ResidentBytes()
{
	std::FILE* statm = std::fopen("/proc/self/statm", "r");
	if (statm == nullptr)
		return -1;
	long size = 0;
	long resident = 0;
	const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
	std::fclose(statm);
	return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}
