#include "port/chosen_interface.h"

#include <algorithm>

#include "port/latency_timer.h"
#include "port/serial_port.h"

namespace orv {

std::string PortLabel(const std::string& port)
{
    return port.empty() ? std::string("the first FTDI interface") : port;
}

ChosenInterface::ChosenInterface(Maker make, std::string port)
    : make_(std::move(make)), port_(std::move(port)), inner_(make_(port_))
{
}

ChosenInterface::~ChosenInterface()
{
    CloseInUse();
}

std::string ChosenInterface::InUse() const
{
    const auto* serial = dynamic_cast<const SerialInterface*>(inner_.get());
    const std::string path = port_.empty() && serial ? serial->DevicePath(0) : std::string();
    return path.empty() ? PortLabel(port_) : path;
}

std::optional<uint32_t> ChosenInterface::LatencyTimer() const
{
    const auto* serial = dynamic_cast<const SerialInterface*>(inner_.get());
    const std::string path = serial ? serial->DevicePath(0) : std::string();
    if (path.empty())
        return std::nullopt;
    return PortLatencyMillis(path);
}

void ChosenInterface::UseFirstFtdiInterface()
{
    CloseInUse();
    port_.clear();
    MakeInner();
}

void ChosenInterface::CloseInUse()
{
    if (inner_)
        for (FtHandle handle : open_)
            inner_->Close(handle);
    open_.clear();
    inner_.reset();
}

void ChosenInterface::MakeInner()
{
    inner_ = make_(port_);
    if (inner_ && log_)
        inner_->BindLog(*log_);
}

void ChosenInterface::BindLog(LogSink& log)
{
    log_ = &log;
    if (inner_)
        inner_->BindLog(log);
}

FtStatus ChosenInterface::CreateDeviceInfoList(uint32_t& count)
{
    count = 0;
    return inner_ ? inner_->CreateDeviceInfoList(count) : FT_DEVICE_NOT_FOUND;
}

FtStatus ChosenInterface::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    return inner_ ? inner_->GetDeviceInfoDetail(index, detail) : FT_DEVICE_NOT_FOUND;
}

FtStatus ChosenInterface::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    if (!inner_)
        return FT_DEVICE_NOT_FOUND;
    const FtStatus status = inner_->Open(index, handle);
    if (status == FT_OK && handle)
        open_.push_back(handle);
    return status;
}

FtStatus ChosenInterface::Close(FtHandle handle)
{
    open_.erase(std::remove(open_.begin(), open_.end(), handle), open_.end());
    return inner_ ? inner_->Close(handle) : FT_INVALID_HANDLE;
}

bool ChosenInterface::GetCommState(FtHandle handle, CommState& state)
{
    return inner_ && inner_->GetCommState(handle, state);
}

bool ChosenInterface::SetCommState(FtHandle handle, const CommState& state)
{
    return inner_ && inner_->SetCommState(handle, state);
}

FtStatus ChosenInterface::SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis)
{
    return inner_ ? inner_->SetTimeouts(handle, readMillis, writeMillis) : FT_INVALID_HANDLE;
}

FtStatus ChosenInterface::ClrRts(FtHandle handle)
{
    return inner_ ? inner_->ClrRts(handle) : FT_INVALID_HANDLE;
}

FtStatus ChosenInterface::Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    return inner_ ? inner_->Write(handle, buffer, count, written) : FT_INVALID_HANDLE;
}

FtStatus ChosenInterface::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    return inner_ ? inner_->Read(handle, buffer, count, read) : FT_INVALID_HANDLE;
}

FtStatus ChosenInterface::GetQueueStatus(FtHandle handle, uint32_t& waiting)
{
    waiting = 0;
    return inner_ ? inner_->GetQueueStatus(handle, waiting) : FT_INVALID_HANDLE;
}

FtStatus ChosenInterface::PurgeReceive(FtHandle handle)
{
    return inner_ ? inner_->PurgeReceive(handle) : FT_INVALID_HANDLE;
}

}  // namespace orv
