object Form_info: TForm_info
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = 'Vexomat'
  ClientHeight = 375
  ClientWidth = 277
  Color = clWhite
  Font.Charset = GB2312_CHARSET
  Font.Color = clBlack
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  ShowHint = True
  object imageLogo: TImage
    Left = 13
    Top = 12
    Width = 250
    Height = 90
    Picture.Resource = 'images/logo.png'
  end
  object Label_product: TLabel
    Left = 13
    Top = 112
    Caption = 'Vexomat 5.44d'
    Transparent = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -14
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label_about1: TLabel
    Left = 13
    Top = 140
    Caption = 'PDF 文档转换工具。'
    Transparent = True
  end
  object Label_about2: TLabel
    Left = 13
    Top = 160
    Caption = 'PostScript、TIFF 和 Office 文档转为 PDF，'
    Transparent = True
  end
  object Label_about3: TLabel
    Left = 13
    Top = 178
    Caption = 'PDF 转为图像、PostScript 和演示文稿，'
    Transparent = True
  end
  object Label_about4: TLabel
    Left = 13
    Top = 196
    Caption = '合并、裁剪、加水印和加密 PDF。'
    Transparent = True
  end
  object Label_support: TLabel
    Left = 13
    Top = 240
    Caption = '支持:'
    Transparent = True
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label_email: TLabel
    Left = 13
    Top = 260
    Caption = 'support@vexomat.example.com'
    Transparent = True
    Cursor = crHandPoint
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlue
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnClick = Label_emailClick
  end
  object Label_web: TLabel
    Left = 13
    Top = 282
    Caption = 'https://vexomat.example.com/'
    Transparent = True
    Cursor = crHandPoint
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlue
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsUnderline]
    ParentFont = False
    OnClick = Label_webClick
  end
  object Image_quenor: TImage
    Left = 13
    Top = 336
    Width = 30
    Height = 25
    Cursor = crHandPoint
    Hint = 'Vexomat 制作者'
    Picture.Resource = 'images/maker.png'
    OnClick = Image_quenorClick
  end
  object SpeedButton_close: TSpeedButton
    Left = 164
    Top = 338
    Width = 100
    Height = 22
    Hint = '关闭对话框。'
    Caption = '>> 关闭(&L)'
    Flat = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    ParentFont = False
    OnClick = SpeedButton_closeClick
  end
end
