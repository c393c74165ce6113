// The table of system errors in Chinese words.
#include "orv/text/system_error.h"

#include <cerrno>

namespace orv::text {

std::string describeSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM: return "没有权限";
    case EROFS: return "文件系统只读";
    case ENOSPC: return "磁盘空间不足";
    case EDQUOT: return "超出磁盘配额";
    case EFBIG: return "文件超出允许的大小";
    case ENOENT: return "文件或目录不存在";
    case ENOTDIR: return "路径中有一段不是文件夹";
    case EISDIR: return "这是一个文件夹";
    case EEXIST: return "文件已存在";
    case ENOTEMPTY: return "文件夹不是空的";
    case ELOOP: return "符号链接过多或成环";
    case ENAMETOOLONG: return "路径过长";
    case EIO: return "输入输出错误";
    case EBUSY:
    case ETXTBSY: return "文件正忙";
    case EMFILE:
    case ENFILE: return "打开的文件过多";
    case ENOMEM: return "内存不足";
    case EXDEV: return "不能跨文件系统移动";
    case ENXIO:
    case ENODEV: return "设备不存在";
    case EAGAIN: return "资源暂时不可用，请稍后再试";
    case EINTR: return "操作被中断";
    case ETIMEDOUT: return "操作超时";
    case ESTALE: return "网络文件已失效";
    case EOVERFLOW: return "文件太大，无法读取";
    case EMLINK: return "链接过多";
    case ENOTSUP: return "文件系统不支持此操作";
    case EINVAL: return "参数无效";
    case ENOEXEC: return "不是可执行的格式";
    case ENOLCK: return "无法加锁";
    case EDEADLK: return "会造成死锁";
    case ESPIPE: return "不能在管道中定位";
    case EPIPE: return "管道已断开";
    default: return "系统错误 " + std::to_string(error);
  }
}

}  // namespace orv::text
