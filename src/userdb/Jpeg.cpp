// JPEG pictures of the personal database, decoded with libjpeg.
#include "userdb/UserDb.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

struct ErreurJpeg
{
    jpeg_error_mgr pub;
    std::jmp_buf saut;
    char message[JMSG_LENGTH_MAX];
};

void SortieErreur(j_common_ptr info)
{
    auto* e = reinterpret_cast<ErreurJpeg*>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->saut, 1);
}

void Silence(j_common_ptr) {}

// No C++ object with a destructor lives between setjmp and longjmp here: the
// picture belongs to the caller and is only written through its pointer.
bool Decoder(const unsigned char* octets, unsigned long taille, QImage* sortie, char* message)
{
    jpeg_decompress_struct info;
    ErreurJpeg erreur;
    info.err = jpeg_std_error(&erreur.pub);
    erreur.pub.error_exit = SortieErreur;
    erreur.pub.output_message = Silence;
    erreur.message[0] = '\0';
    if (setjmp(erreur.saut)) {
        std::strncpy(message, erreur.message, JMSG_LENGTH_MAX - 1);
        message[JMSG_LENGTH_MAX - 1] = '\0';
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, octets, taille);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *sortie = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (sortie->isNull()) {
        std::strncpy(message, "image too large", JMSG_LENGTH_MAX - 1);
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW ligne = sortie->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &ligne, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecoderJpeg(const QByteArray& octets)
{
    const bool signature = octets.size() > 3 && uchar(octets[0]) == 0xFF && uchar(octets[1]) == 0xD8;
    char message[JMSG_LENGTH_MAX] = {0};
    QImage image;
    if (signature
        && Decoder(reinterpret_cast<const unsigned char*>(octets.constData()), static_cast<unsigned long>(octets.size()),
                   &image, message))
        return image;
    if (signature) {
        // Colour spaces libjpeg will not turn into RGB (CMYK, YCCK): Qt's reader converts them.
        QByteArray copie = octets;
        QBuffer tampon(&copie);
        QImageReader lecteur(&tampon, "jpeg");
        QImage lue;
        if (lecteur.read(&lue))
            return lue;
    }
    QString detail = QString::fromLocal8Bit(message);
    if (!signature)
        detail = QCoreApplication::translate("TdmUserDb", "signature JPEG absente");
    throw EUserDb(QCoreApplication::translate("TdmUserDb", "L'image de l'enregistrement n'est pas une image JPEG valide (%1)")
                      .arg(detail));
}
