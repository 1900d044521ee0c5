// The start page is built in memory; its images come from the embedded
// resources, and the click on the box opens a package through the channel.
#include "VornViewer.h"

#include <QUrl>
#include <QWebEngineView>

void VornViewer::loadStartPage()
{
    const QString sHtml = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
        "<link rel=\"icon\" href=\"data:,\">\n"
        "<style>\n"
        "html { height: 100%; }\n"
        "body { background-color: #ffffff; background-image: url(\"qrc:///resources/tessano_background.jpg\");"
        " background-repeat: no-repeat; background-position: right bottom; background-attachment: fixed;"
        " font-family: Arial; }\n"
        "div.clickablebox { padding: 30px; border-radius: 18px; background-color: #F3F3F3;"
        " border: 1px solid #999999; margin: 175px; }\n"
        "div.clickablebox:hover { background-color: #DEDEEB; cursor: pointer; }\n"
        "div.box-title { color: #333366; font-weight: bold; margin-bottom: 30px; font-size: 36px; }\n"
        "div.box-text { color: #333366; }\n"
        "#footer { position: fixed; right: 1%; bottom: 1%; }\n"
        "</style>\n"
        "<script type=\"text/javascript\" src=\"qrc:///qtwebchannel/qwebchannel.js\"></script>\n"
        "<script type=\"text/javascript\">\n"
        "window.addEventListener(\"load\", function () {\n"
        "  document.getElementById(\"analysis\").addEventListener(\"click\", function () {\n"
        "    new QWebChannel(qt.webChannelTransport, function (channel) {\n"
        "      channel.objects.VornViewer.open(\"\");\n"
        "    });\n"
        "  });\n"
        "});\n"
        "</script>\n"
        "</head>\n<body>\n"
        "<div id=\"analysis\" class=\"clickablebox\">\n"
        "<div class=\"box-title\"><center>VORN Viewer</center></div>\n"
        "<div style=\"float: left; margin-right: 30px;\">"
        "<img src=\"qrc:///resources/blue_package.png\" style=\"width: 96px; height: 96px;\"></div>\n"
        "<div class=\"box-text\">%2</div>\n"
        "<br>\n"
        "<div class=\"box-text\">%3</div>\n"
        "</div>\n"
        "<div id=\"footer\"><img src=\"qrc:///resources/Logo_TESSANO_Message_Negative_RGB.png\" width=\"192\"></div>\n"
        "</body>\n</html>\n")
                              .arg(tr("VORN Viewer").toHtmlEscaped(),
                                  tr("Click and select a \"*.pkg\" file. If the package is encrypted, you will be "
                                     "prompted to enter a username and a password.")
                                      .toHtmlEscaped(),
                                  tr("Once the package is opened, you can navigate through the calls by clicking the "
                                     "available tabs and play audio content in the integrated audio player.")
                                      .toHtmlEscaped());
    mpWebView->setHtml(sHtml, QUrl(QStringLiteral("http://127.0.0.1:%1/StartPage.html").arg(mnHttpPort)));
}
