#include "Plugin.h"

#include "Misc/Paths.h"

FPlugin::FPlugin(const FString& InDescriptorFileName, FPluginDescriptor InDescriptor)
	: Name(FPaths::GetBaseFilename(InDescriptorFileName))
	, DescriptorFileName(InDescriptorFileName)
	, Descriptor(std::move(InDescriptor))
{
}

const FString& FPlugin::GetFriendlyName() const
{
	return Descriptor.FriendlyName.IsEmpty() ? Name : Descriptor.FriendlyName;
}

FString FPlugin::GetBaseDir() const
{
	return FPaths::GetPath(DescriptorFileName);
}

FString FPlugin::GetContentDir() const
{
	return FPaths::Combine(GetBaseDir(), TEXT("Content"));
}
