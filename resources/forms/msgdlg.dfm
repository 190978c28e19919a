object Form_MsgDlg: TForm_MsgDlg
  Left = 0
  Top = 0
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = ' 信 息 '
  ClientHeight = 173
  ClientWidth = 409
  Color = clWhite
  Font.Charset = GB2312_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  FormStyle = fsStayOnTop
  KeyPreview = True
  Position = poScreenCenter
  OnKeyDown = FormKeyDown
  object ImageWarning: TImage
    Left = 24
    Top = 56
    Width = 32
    Height = 32
    Transparent = True
    Picture.Resource = 'images/msg_warning.gif'
  end
  object ImageError: TImage
    Left = 24
    Top = 56
    Width = 32
    Height = 32
    Transparent = True
    Visible = False
    Picture.Resource = 'images/msg_error.gif'
  end
  object ImageConfirmation: TImage
    Left = 24
    Top = 56
    Width = 32
    Height = 32
    Transparent = True
    Visible = False
    Picture.Resource = 'images/msg_confirmation.gif'
  end
  object ImageInformation: TImage
    Left = 24
    Top = 56
    Width = 32
    Height = 32
    Transparent = True
    Visible = False
    Picture.Resource = 'images/msg_information.gif'
  end
  object SpeedButtonOK: TSpeedButton
    Left = 79
    Top = 140
    Width = 90
    Height = 20
    Caption = '» 确定(&O) '
    Flat = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    OnClick = SpeedButtonOKClick
  end
  object SpeedButtonCancel: TSpeedButton
    Left = 297
    Top = 140
    Width = 90
    Height = 20
    Caption = '» 取消(&C) '
    Flat = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    OnClick = SpeedButtonCancelClick
  end
  object ScrollBox_msg: TScrollBox
    Left = 80
    Top = 16
    Width = 307
    Height = 110
    HorzScrollBar.Visible = False
    VertScrollBar.Visible = False
    BorderStyle = bsNone
    Color = clWhite
    ParentColor = False
    object LabelMsgDlg: TLabel
      Left = 8
      Top = 8
      Width = 291
      Height = 94
      AutoSize = False
      WordWrap = True
      Transparent = True
      Font.Charset = GB2312_CHARSET
      Font.Color = clWindowText
      Font.Height = -12
      Font.Name = '宋体'
      Font.Style = []
    end
  end
  object GradientCaptionMsgDlg: TGradientCaption
    CaptionText.Caption = ''
    AppNameText.Caption = '程序 -'
    AppNameText.Visible = False
    CompanyText.Caption = 'Dorvel''s'
    CompanyText.Visible = False
    ColorLeftActive = 153
    ColorLeftInActive = 153
    ColorRightActive = 14671839
    ColorRightInActive = 14671839
    Enabled = geAlways
    NumColors = 128
    Left = 8
    Top = 136
  end
  object Timer_autoClose: TTimer
    Enabled = False
    Interval = 10000
    OnTimer = Timer_autoCloseTimer
    Left = 8
    Top = 104
  end
end
