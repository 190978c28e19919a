object Form_faqs: TForm_faqs
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = 'Vexomat'
  ClientHeight = 470
  ClientWidth = 658
  Color = clWhite
  Font.Charset = GB2312_CHARSET
  Font.Color = clBlack
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  ShowHint = True
  OnShow = FormShow
  object imageLogo: TImage
    Left = 204
    Top = 8
    Width = 250
    Height = 90
    Picture.Resource = 'images/logo.png'
  end
  object Label_faqs: TLabel
    Left = 25
    Top = 108
    Caption = '常见问题解答:'
    Transparent = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object RichEdit_faqs: TRichEdit
    Left = 25
    Top = 126
    Width = 607
    Height = 273
    BorderStyle = bsNone
    Color = 14671839
    ReadOnly = True
    ScrollBars = ssVertical
  end
  object Label_support: TLabel
    Left = 25
    Top = 412
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
    Left = 70
    Top = 412
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
  object Label_site: TLabel
    Left = 330
    Top = 412
    Caption = '网站：'
    Transparent = True
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Label_web: TLabel
    Left = 375
    Top = 412
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
    Top = 436
    Width = 30
    Height = 25
    Cursor = crHandPoint
    Hint = 'Vexomat 制作者'
    Picture.Resource = 'images/maker.png'
    OnClick = Image_quenorClick
  end
  object SpeedButton_close: TSpeedButton
    Left = 532
    Top = 438
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
