// The causes of system errors in the words a Chinese Windows uses for them, since every text
// the program shows is Chinese; the system's own text goes only to the log.
#include <cerrno>

#include "platform/rtl/sysutils.h"

std::string SysErrorMessage(int err) {
    switch (err) {
        case 0:
            return "操作成功完成。";
        case ENOENT:
            return "系统找不到指定的文件。";
        case ENOTDIR:
            return "系统找不到指定的路径。";
        case EACCES:
        case EPERM:
            return "拒绝访问。";
        case ENOSPC:
            return "磁盘空间不足。";
        case EDQUOT:
            return "磁盘配额已用完。";
        case EROFS:
            return "介质受写入保护。";
        case EBUSY:
        case ETXTBSY:
            return "另一个程序正在使用此文件，进程无法访问。";
        case EISDIR:
            return "这是一个文件夹，不是文件。";
        case EEXIST:
            return "文件已存在。";
        case ENOTEMPTY:
            return "目录不是空的。";
        case EIO:
            return "由于 I/O 设备错误，无法运行此项请求。";
        case ENAMETOOLONG:
            return "文件名或扩展名太长。";
        case EMFILE:
        case ENFILE:
            return "系统无法打开文件。";
        case ENOMEM:
            return "存储空间不足，无法处理此命令。";
        case EXDEV:
            return "系统无法将文件移到不同的磁盘驱动器。";
        case EINVAL:
            return "参数错误。";
        case ELOOP:
            return "符号链接的层次太多。";
        case EFBIG:
            return "文件太大。";
        case ENODEV:
        case ENXIO:
            return "系统找不到指定的设备。";
        case EAGAIN:
            return "资源暂时不可用。";
        case EINTR:
            return "操作被中断。";
        case EPIPE:
            return "管道已结束。";
        case ECHILD:
            return "没有子进程。";
        case ESRCH:
            return "找不到指定的进程。";
        case EBADF:
            return "句柄无效。";
        default:
            return "系统错误，代码 " + IntToStr(err) + "。";
    }
}
