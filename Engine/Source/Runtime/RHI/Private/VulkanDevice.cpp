#include "VulkanDevice.h"

#include "Containers/Array.h"
#include "VulkanDeviceSelection.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <set>
#include <string>
#include <vector>

namespace
{
	constexpr const char* ValidationLayerName = "VK_LAYER_KHRONOS_validation";

	std::atomic<int32> GValidationErrorCount = 0;

	VKAPI_ATTR VkBool32 VKAPI_CALL OnDebugMessage(VkDebugUtilsMessageSeverityFlagBitsEXT Severity, VkDebugUtilsMessageTypeFlagsEXT Types,
		const VkDebugUtilsMessengerCallbackDataEXT* Data, void* UserData)
	{
		const TCHAR* Text = Data && Data->pMessage ? Data->pMessage : TEXT("(no message)");
		if (Severity & VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT)
		{
			++GValidationErrorCount;
			UE_LOG(LogRHI, Error, TEXT("Vulkan: %s"), Text);
		}
		else if (Severity & VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT)
		{
			UE_LOG(LogRHI, Warning, TEXT("Vulkan: %s"), Text);
		}
		// Returning true would abort the call that triggered the message; the RHI only reports.
		return VK_FALSE;
	}

	FString GetEnvironmentVariable(const char* Name)
	{
		const char* Value = std::getenv(Name);
		return Value ? FString(Value) : FString();
	}

	bool IsValidationRequested()
	{
		const FString Value = GetEnvironmentVariable("VORPEX_RHI_VALIDATION").TrimStartAndEnd();
		return Value.Equals(TEXT("1")) || Value.Equals(TEXT("true"), ESearchCase::IgnoreCase) || Value.Equals(TEXT("yes"), ESearchCase::IgnoreCase)
			|| Value.Equals(TEXT("on"), ESearchCase::IgnoreCase);
	}

	bool HasExtension(const std::vector<VkExtensionProperties>& Extensions, const char* Name)
	{
		return std::any_of(Extensions.begin(), Extensions.end(),
			[Name](const VkExtensionProperties& Extension) { return std::strcmp(Extension.extensionName, Name) == 0; });
	}

	std::vector<VkExtensionProperties> GetInstanceExtensions(const char* LayerName)
	{
		uint32 Count = 0;
		vkEnumerateInstanceExtensionProperties(LayerName, &Count, nullptr);
		std::vector<VkExtensionProperties> Extensions(Count);
		vkEnumerateInstanceExtensionProperties(LayerName, &Count, Extensions.data());
		Extensions.resize(Count);
		return Extensions;
	}

	std::vector<VkExtensionProperties> GetDeviceExtensions(VkPhysicalDevice PhysicalDevice)
	{
		uint32 Count = 0;
		vkEnumerateDeviceExtensionProperties(PhysicalDevice, nullptr, &Count, nullptr);
		std::vector<VkExtensionProperties> Extensions(Count);
		vkEnumerateDeviceExtensionProperties(PhysicalDevice, nullptr, &Count, Extensions.data());
		Extensions.resize(Count);
		return Extensions;
	}

	const TCHAR* GetDeviceTypeName(VkPhysicalDeviceType Type)
	{
		switch (Type)
		{
		case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU: return TEXT("discrete");
		case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU: return TEXT("integrated");
		case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU: return TEXT("virtual");
		case VK_PHYSICAL_DEVICE_TYPE_CPU: return TEXT("cpu");
		default: return TEXT("other");
		}
	}

	/** The paths of the shared objects mapped into the process. */
	std::set<std::string> GetLoadedLibraries()
	{
		std::set<std::string> Paths;
		dl_iterate_phdr(
			[](dl_phdr_info* Library, size_t, void* Data) {
				if (Library->dlpi_name && Library->dlpi_name[0] != '\0')
				{
					static_cast<std::set<std::string>*>(Data)->insert(Library->dlpi_name);
				}
				return 0;
			},
			&Paths);
		return Paths;
	}

	/**
	 * Keeps the drivers and layers the loader has loaded for the device (with what they need)
	 * mapped for the rest of the process. The loader unloads them with the instance while
	 * their globals still point into the heap, which leak checkers then report as leaks of
	 * unknown origin; and an RHI restart would load and initialise them all over again.
	 */
	void PinNewlyLoadedLibraries(const std::set<std::string>& LoadedBefore)
	{
		for (const std::string& Path : GetLoadedLibraries())
		{
			if (!LoadedBefore.count(Path))
			{
				dlopen(Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
			}
		}
	}

	FString FormatVersion(uint32 Version)
	{
		return FString::Printf(TEXT("%u.%u.%u"), VK_API_VERSION_MAJOR(Version), VK_API_VERSION_MINOR(Version), VK_API_VERSION_PATCH(Version));
	}

	/** What the RHI needs to know of one physical device, to choose it and then to create it. */
	struct FPhysicalDeviceReport
	{
		VkPhysicalDevice Handle = VK_NULL_HANDLE;
		VkPhysicalDeviceProperties Properties = {};
		FString DriverName;
		uint32 ApiVersion = 0;
		uint32 QueueFamilyIndex = 0;
		bool bNeedsDynamicRenderingExtension = false;
		bool bStorageReadWithoutFormat = false;
		bool bFillModeNonSolid = false;
		bool bSamplerAnisotropy = false;
		uint32 MaxPushDescriptors = 0;
		TArray<FString> Problems;
	};

	FPhysicalDeviceReport InspectPhysicalDevice(VkPhysicalDevice Handle, uint32 InstanceApiVersion)
	{
		FPhysicalDeviceReport Report;
		Report.Handle = Handle;
		vkGetPhysicalDeviceProperties(Handle, &Report.Properties);
		Report.ApiVersion = std::min(Report.Properties.apiVersion, InstanceApiVersion);
		if (Report.ApiVersion < VK_API_VERSION_1_2)
		{
			Report.Problems.Add(FString::Printf(TEXT("Vulkan %s, 1.2 needed"), *FormatVersion(Report.ApiVersion)));
			return Report;
		}

		const std::vector<VkExtensionProperties> Extensions = GetDeviceExtensions(Handle);
		const bool bHasPushDescriptor = HasExtension(Extensions, VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME);
		const bool bCoreDynamicRendering = Report.ApiVersion >= VK_API_VERSION_1_3;
		const bool bHasDynamicRendering = bCoreDynamicRendering || HasExtension(Extensions, VK_KHR_DYNAMIC_RENDERING_EXTENSION_NAME);
		Report.bNeedsDynamicRenderingExtension = !bCoreDynamicRendering;

		VkPhysicalDevicePushDescriptorPropertiesKHR PushDescriptorProperties = {};
		PushDescriptorProperties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PUSH_DESCRIPTOR_PROPERTIES_KHR;
		VkPhysicalDeviceDriverProperties DriverProperties = {};
		DriverProperties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRIVER_PROPERTIES;
		DriverProperties.pNext = bHasPushDescriptor ? &PushDescriptorProperties : nullptr;
		VkPhysicalDeviceProperties2 Properties2 = {};
		Properties2.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
		Properties2.pNext = &DriverProperties;
		vkGetPhysicalDeviceProperties2(Handle, &Properties2);
		Report.DriverName = FString(DriverProperties.driverName);
		Report.MaxPushDescriptors = PushDescriptorProperties.maxPushDescriptors;

		VkPhysicalDeviceDynamicRenderingFeatures DynamicRendering = {};
		DynamicRendering.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DYNAMIC_RENDERING_FEATURES;
		VkPhysicalDeviceFeatures2 Features2 = {};
		Features2.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2;
		Features2.pNext = bHasDynamicRendering ? &DynamicRendering : nullptr;
		vkGetPhysicalDeviceFeatures2(Handle, &Features2);
		Report.bStorageReadWithoutFormat = Features2.features.shaderStorageImageReadWithoutFormat;
		Report.bFillModeNonSolid = Features2.features.fillModeNonSolid;
		Report.bSamplerAnisotropy = Features2.features.samplerAnisotropy;

		if (!bHasPushDescriptor)
		{
			Report.Problems.Add(FString(VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME) + TEXT(" missing"));
		}
		if (!bHasDynamicRendering || !DynamicRendering.dynamicRendering)
		{
			Report.Problems.Add(TEXT("no dynamic rendering"));
		}
		if (!Features2.features.shaderStorageImageWriteWithoutFormat)
		{
			Report.Problems.Add(TEXT("no shaderStorageImageWriteWithoutFormat"));
		}

		uint32 NumFamilies = 0;
		vkGetPhysicalDeviceQueueFamilyProperties(Handle, &NumFamilies, nullptr);
		std::vector<VkQueueFamilyProperties> Families(NumFamilies);
		vkGetPhysicalDeviceQueueFamilyProperties(Handle, &NumFamilies, Families.data());
		bool bFoundQueue = false;
		for (uint32 Index = 0; Index < NumFamilies && !bFoundQueue; ++Index)
		{
			constexpr VkQueueFlags Needed = VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT;
			if ((Families[Index].queueFlags & Needed) == Needed && Families[Index].queueCount > 0)
			{
				Report.QueueFamilyIndex = Index;
				bFoundQueue = true;
			}
		}
		if (!bFoundQueue)
		{
			Report.Problems.Add(TEXT("no graphics and compute queue"));
		}
		return Report;
	}
}

FVulkanDevice::FVulkanDevice()
{
	// Before the first Vulkan call: the loader loads the drivers as soon as it is asked anything.
	const std::set<std::string> LoadedBefore = GetLoadedLibraries();
	try
	{
		CreateInstance();
		ChoosePhysicalDevice();
		CreateLogicalDevice();
		PinNewlyLoadedLibraries(LoadedBefore);
	}
	catch (...)
	{
		Destroy();
		throw;
	}
}

FVulkanDevice::~FVulkanDevice()
{
	Destroy();
}

void FVulkanDevice::Destroy()
{
	if (Device != VK_NULL_HANDLE)
	{
		vkDestroyDevice(Device, nullptr);
		Device = VK_NULL_HANDLE;
	}
	if (Messenger != VK_NULL_HANDLE)
	{
		const auto DestroyMessenger
			= reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(vkGetInstanceProcAddr(Instance, "vkDestroyDebugUtilsMessengerEXT"));
		DestroyMessenger(Instance, Messenger, nullptr);
		Messenger = VK_NULL_HANDLE;
	}
	if (Instance != VK_NULL_HANDLE)
	{
		vkDestroyInstance(Instance, nullptr);
		Instance = VK_NULL_HANDLE;
	}
}

void FVulkanDevice::CreateInstance()
{
	const VkResult VersionResult = vkEnumerateInstanceVersion(&InstanceApiVersion);
	checkf(VersionResult == VK_SUCCESS, TEXT("The Vulkan loader is unusable: %s"), VulkanResultToString(VersionResult));
	checkf(InstanceApiVersion >= VK_API_VERSION_1_2, TEXT("The Vulkan loader offers Vulkan %s; the RHI needs 1.2 or later"),
		*FormatVersion(InstanceApiVersion));
	InstanceApiVersion = std::min<uint32>(InstanceApiVersion, VK_API_VERSION_1_3);

	std::vector<const char*> Layers;
	std::vector<const char*> Extensions;
	const std::vector<VkExtensionProperties> Available = GetInstanceExtensions(nullptr);
	bDebugUtils = HasExtension(Available, VK_EXT_DEBUG_UTILS_EXTENSION_NAME);
	if (bDebugUtils)
	{
		Extensions.push_back(VK_EXT_DEBUG_UTILS_EXTENSION_NAME);
	}

	bool bSynchronizationValidation = false;
	if (IsValidationRequested())
	{
		uint32 NumLayers = 0;
		vkEnumerateInstanceLayerProperties(&NumLayers, nullptr);
		std::vector<VkLayerProperties> AvailableLayers(NumLayers);
		vkEnumerateInstanceLayerProperties(&NumLayers, AvailableLayers.data());
		const bool bHasLayer = std::any_of(AvailableLayers.begin(), AvailableLayers.begin() + NumLayers,
			[](const VkLayerProperties& Layer) { return std::strcmp(Layer.layerName, ValidationLayerName) == 0; });
		if (bHasLayer)
		{
			Layers.push_back(ValidationLayerName);
			Info.bValidationEnabled = true;
			// Hazards between passes are what barriers are for; the layer checks them only when asked.
			if (HasExtension(GetInstanceExtensions(ValidationLayerName), VK_EXT_VALIDATION_FEATURES_EXTENSION_NAME))
			{
				Extensions.push_back(VK_EXT_VALIDATION_FEATURES_EXTENSION_NAME);
				bSynchronizationValidation = true;
			}
		}
		else
		{
			// Counted as well: a run that asked for validation must not pass because it had none.
			++GValidationErrorCount;
			UE_LOG(LogRHI, Error, TEXT("VORPEX_RHI_VALIDATION asks for the validation layer %s, which is not installed"), ValidationLayerName);
		}
	}

	VkApplicationInfo Application = {};
	Application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
	Application.pApplicationName = "Vorpex";
	Application.pEngineName = "Vorpex";
	Application.apiVersion = InstanceApiVersion;

	const VkValidationFeatureEnableEXT EnabledValidation[] = {VK_VALIDATION_FEATURE_ENABLE_SYNCHRONIZATION_VALIDATION_EXT};
	VkValidationFeaturesEXT ValidationFeatures = {};
	ValidationFeatures.sType = VK_STRUCTURE_TYPE_VALIDATION_FEATURES_EXT;
	ValidationFeatures.enabledValidationFeatureCount = UE_ARRAY_COUNT(EnabledValidation);
	ValidationFeatures.pEnabledValidationFeatures = EnabledValidation;

	VkInstanceCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
	CreateInfo.pNext = bSynchronizationValidation ? &ValidationFeatures : nullptr;
	CreateInfo.pApplicationInfo = &Application;
	CreateInfo.enabledLayerCount = uint32(Layers.size());
	CreateInfo.ppEnabledLayerNames = Layers.data();
	CreateInfo.enabledExtensionCount = uint32(Extensions.size());
	CreateInfo.ppEnabledExtensionNames = Extensions.data();
	const VkResult Result = vkCreateInstance(&CreateInfo, nullptr, &Instance);
	checkf(Result == VK_SUCCESS, TEXT("Creating the Vulkan instance failed: %s"), VulkanResultToString(Result));

	if (bDebugUtils)
	{
		const auto CreateMessenger
			= reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(vkGetInstanceProcAddr(Instance, "vkCreateDebugUtilsMessengerEXT"));
		VkDebugUtilsMessengerCreateInfoEXT MessengerInfo = {};
		MessengerInfo.sType = VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT;
		MessengerInfo.messageSeverity = VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT;
		MessengerInfo.messageType = VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT
			| VK_DEBUG_UTILS_MESSAGE_TYPE_PERFORMANCE_BIT_EXT;
		MessengerInfo.pfnUserCallback = &OnDebugMessage;
		CheckVulkanResult(CreateMessenger(Instance, &MessengerInfo, nullptr, &Messenger), TEXT("vkCreateDebugUtilsMessengerEXT"));
		SetDebugUtilsObjectName
			= reinterpret_cast<PFN_vkSetDebugUtilsObjectNameEXT>(vkGetInstanceProcAddr(Instance, "vkSetDebugUtilsObjectNameEXT"));
		CmdBeginDebugUtilsLabel
			= reinterpret_cast<PFN_vkCmdBeginDebugUtilsLabelEXT>(vkGetInstanceProcAddr(Instance, "vkCmdBeginDebugUtilsLabelEXT"));
		CmdEndDebugUtilsLabel = reinterpret_cast<PFN_vkCmdEndDebugUtilsLabelEXT>(vkGetInstanceProcAddr(Instance, "vkCmdEndDebugUtilsLabelEXT"));
		bDebugUtils = SetDebugUtilsObjectName && CmdBeginDebugUtilsLabel && CmdEndDebugUtilsLabel;
	}
}

void FVulkanDevice::ChoosePhysicalDevice()
{
	uint32 NumDevices = 0;
	vkEnumeratePhysicalDevices(Instance, &NumDevices, nullptr);
	std::vector<VkPhysicalDevice> Handles(NumDevices);
	vkEnumeratePhysicalDevices(Instance, &NumDevices, Handles.data());
	Handles.resize(NumDevices);

	std::vector<FPhysicalDeviceReport> Reports;
	TArray<FRHIDeviceCandidate> Candidates;
	for (VkPhysicalDevice Handle : Handles)
	{
		Reports.push_back(InspectPhysicalDevice(Handle, InstanceApiVersion));
		const FPhysicalDeviceReport& Report = Reports.back();
		Candidates.Add({FString(Report.Properties.deviceName), FString(GetDeviceTypeName(Report.Properties.deviceType)),
			FString::Join(Report.Problems, TEXT("; "))});
	}

	FString Error;
	const int32 Selected = SelectRHIDevice(Candidates, GetEnvironmentVariable("VORPEX_RHI_DEVICE"), Error);
	checkf(Selected != INDEX_NONE, TEXT("%s"), *Error);

	const FPhysicalDeviceReport& Chosen = Reports[Selected];
	PhysicalDevice = Chosen.Handle;
	Properties = Chosen.Properties;
	DeviceApiVersion = Chosen.ApiVersion;
	QueueFamilyIndex = Chosen.QueueFamilyIndex;
	MaxPushDescriptors = Chosen.MaxPushDescriptors;
	bStorageReadWithoutFormat = Chosen.bStorageReadWithoutFormat;
	bFillModeNonSolid = Chosen.bFillModeNonSolid;
	bSamplerAnisotropy = Chosen.bSamplerAnisotropy;
	vkGetPhysicalDeviceMemoryProperties(PhysicalDevice, &MemoryProperties);

	Info.DeviceName = Candidates[Selected].Name;
	Info.DeviceType = Candidates[Selected].Type;
	Info.DriverName = Chosen.DriverName;
	Info.ApiVersion = Chosen.Properties.apiVersion;
}

void FVulkanDevice::CreateLogicalDevice()
{
	const float Priority = 1.0f;
	VkDeviceQueueCreateInfo QueueInfo = {};
	QueueInfo.sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO;
	QueueInfo.queueFamilyIndex = QueueFamilyIndex;
	QueueInfo.queueCount = 1;
	QueueInfo.pQueuePriorities = &Priority;

	std::vector<const char*> Extensions = {VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME};
	const bool bCoreDynamicRendering = DeviceApiVersion >= VK_API_VERSION_1_3;
	if (!bCoreDynamicRendering)
	{
		Extensions.push_back(VK_KHR_DYNAMIC_RENDERING_EXTENSION_NAME);
	}

	VkPhysicalDeviceDynamicRenderingFeatures DynamicRendering = {};
	DynamicRendering.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DYNAMIC_RENDERING_FEATURES;
	DynamicRendering.dynamicRendering = VK_TRUE;
	VkPhysicalDeviceFeatures2 Features = {};
	Features.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2;
	Features.pNext = &DynamicRendering;
	Features.features.shaderStorageImageWriteWithoutFormat = VK_TRUE;
	Features.features.shaderStorageImageReadWithoutFormat = bStorageReadWithoutFormat;
	Features.features.fillModeNonSolid = bFillModeNonSolid;
	Features.features.samplerAnisotropy = bSamplerAnisotropy;

	VkDeviceCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO;
	CreateInfo.pNext = &Features;
	CreateInfo.queueCreateInfoCount = 1;
	CreateInfo.pQueueCreateInfos = &QueueInfo;
	CreateInfo.enabledExtensionCount = uint32(Extensions.size());
	CreateInfo.ppEnabledExtensionNames = Extensions.data();
	const VkResult Result = vkCreateDevice(PhysicalDevice, &CreateInfo, nullptr, &Device);
	checkf(Result == VK_SUCCESS, TEXT("Creating the Vulkan device on '%s' failed: %s"), *Info.DeviceName, VulkanResultToString(Result));
	vkGetDeviceQueue(Device, QueueFamilyIndex, 0, &Queue);

	CmdPushDescriptorSet = reinterpret_cast<PFN_vkCmdPushDescriptorSetKHR>(vkGetDeviceProcAddr(Device, "vkCmdPushDescriptorSetKHR"));
	CmdBeginRendering = reinterpret_cast<PFN_vkCmdBeginRenderingKHR>(
		vkGetDeviceProcAddr(Device, bCoreDynamicRendering ? "vkCmdBeginRendering" : "vkCmdBeginRenderingKHR"));
	CmdEndRendering = reinterpret_cast<PFN_vkCmdEndRenderingKHR>(
		vkGetDeviceProcAddr(Device, bCoreDynamicRendering ? "vkCmdEndRendering" : "vkCmdEndRenderingKHR"));
	checkf(CmdPushDescriptorSet && CmdBeginRendering && CmdEndRendering,
		TEXT("The Vulkan driver of '%s' lacks the push descriptor or dynamic rendering entry points it advertises"), *Info.DeviceName);

	UE_LOG(LogRHI, Log, TEXT("Vulkan device '%s' (%s, driver %s, Vulkan %s)%s"), *Info.DeviceName, *Info.DeviceType, *Info.DriverName,
		*FormatVersion(Info.ApiVersion), Info.bValidationEnabled ? TEXT(" with validation") : TEXT(""));
}

void FVulkanDevice::SetObjectName(VkObjectType Type, uint64 Handle, const FString& Name) const
{
	if (bDebugUtils && !Name.IsEmpty())
	{
		VkDebugUtilsObjectNameInfoEXT NameInfo = {};
		NameInfo.sType = VK_STRUCTURE_TYPE_DEBUG_UTILS_OBJECT_NAME_INFO_EXT;
		NameInfo.objectType = Type;
		NameInfo.objectHandle = Handle;
		NameInfo.pObjectName = *Name;
		SetDebugUtilsObjectName(Device, &NameInfo);
	}
}

void FVulkanDevice::BeginLabel(VkCommandBuffer CommandBuffer, const FString& Name) const
{
	if (bDebugUtils)
	{
		VkDebugUtilsLabelEXT Label = {};
		Label.sType = VK_STRUCTURE_TYPE_DEBUG_UTILS_LABEL_EXT;
		Label.pLabelName = *Name;
		CmdBeginDebugUtilsLabel(CommandBuffer, &Label);
	}
}

void FVulkanDevice::EndLabel(VkCommandBuffer CommandBuffer) const
{
	if (bDebugUtils)
	{
		CmdEndDebugUtilsLabel(CommandBuffer);
	}
}

int32 FVulkanDevice::GetValidationErrorCount()
{
	return GValidationErrorCount.load();
}
